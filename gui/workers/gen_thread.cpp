#include "gui/workers/gen_thread.h"

#include "gui/platform/ui_call_queue.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <exception>

namespace tovimo {

// The window's controls as the generation loop sees them. Reads wait for the
// user-interface thread; writes are queued behind each other.
class GuiGaHost final : public GaHost {
  public:
    GuiGaHost(const TGen::Host& host, UiCallQueue& calls) : host_(host), calls_(calls) {}

    std::optional<int> populationSize() override { return readInt(host_.populationText); }
    std::optional<int> generations() override { return readInt(host_.generationsText); }

    std::optional<long long> copyCount() override {
        std::optional<long long> v;
        calls_.call([&] { v = ParseInt(host_.copyCountText().toStdString()); });
        return v;
    }

    std::pair<int, int> trackBars() override {
        std::pair<int, int> v;
        calls_.call([&] { v = host_.trackBars(); });
        return v;
    }

    void setTrackBar(int which, int pos) override {
        calls_.post([this, which, pos] { host_.setTrackBar(which, pos); });
    }

    void setGenerationsText(std::string text) override {
        calls_.post([this, t = QString::fromStdString(text)] { host_.setGenerationsText(t); });
    }

    void setProgress(int position) override {
        // the bar ignores values outside its range; a short run ends above 100
        calls_.post([this, position] { host_.setProgress(std::clamp(position, 0, 100)); });
    }

    void memoLine(std::string line) override {
        calls_.post([this, l = std::move(line)] { host_.memoLine(l); });
    }

    void updMain(int genes) override {
        calls_.call([this, genes] { host_.memoLine(GenesCreatedLine(genes)); });
    }

    void diaGen() override {
        calls_.call([this] { host_.diaGen(); });
    }

  private:
    std::optional<int> readInt(const std::function<QString()>& text) {
        std::optional<int> v;
        calls_.call([&] { v = ParseInt32(text().toStdString()); });
        return v;
    }

    const TGen::Host& host_;
    UiCallQueue& calls_;
};

TGen::TGen(AnalysisState& st, GaFlags& flags, Host host, UiCallQueue& calls, const GaRunOptions& options,
           GenerationLoop loop, QObject* parent)
    : QThread(parent), st_(st), flags_(flags), host_(std::move(host)), calls_(calls), options_(options),
      loop_(std::move(loop)) {
    setObjectName(QStringLiteral("Gen"));
}

std::optional<QString> TGen::setUpFailure() const {
    std::lock_guard lock(outcomeMutex_);
    return setUpFailure_;
}

std::optional<QString> TGen::error() const {
    std::lock_guard lock(outcomeMutex_);
    return error_;
}

void TGen::run() {
    GuiGaHost host(host_, calls_);
    // nothing may leave the thread; the window reads how it ended once it has finished
    std::optional<QString> failure, error;
    try {
        if (const auto f = RunGeneticAlgorithm(st_, host, flags_, options_, loop_))
            failure = QString::fromStdString(*f);
    } catch (const std::exception& e) {
        error = QString::fromStdString(e.what());
    } catch (...) {
        error = QString::fromUtf8(kMsgGaException);
    }
    std::lock_guard lock(outcomeMutex_);
    setUpFailure_ = std::move(failure);
    error_ = std::move(error);
}

} // namespace tovimo
