#include "gui/workers/gen_thread.h"

#include "gui/platform/ui_call_queue.h"
#include "gui/windows/main_window.h"

#include "core/results/model_warnings.h"
#include "core/text/number_format.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>

#include <algorithm>
#include <exception>

namespace tovimo {

// The main window's controls as the generation loop sees them. Reads wait
// for the user-interface thread; writes are queued behind each other.
class GuiGaHost final : public GaHost {
  public:
    GuiGaHost(TForm1& w, UiCallQueue& calls) : w_(w), calls_(calls) {}

    std::optional<int> populationSize() override { return readInt(w_.Edit3); }
    std::optional<int> generations() override { return readInt(w_.NPokoleny); }

    std::optional<long long> copyCount() override {
        std::optional<long long> v;
        calls_.call([&] { v = ParseInt(w_.LabeledEdit1->text().toStdString()); });
        return v;
    }

    std::pair<int, int> trackBars() override {
        std::pair<int, int> v;
        calls_.call([&] { v = {w_.TrackBar1->value(), w_.TrackBar2->value()}; });
        return v;
    }

    void setTrackBar(int which, int pos) override {
        calls_.post([this, which, pos] { (which == 1 ? w_.TrackBar1 : w_.TrackBar2)->setValue(pos); });
    }

    void setGenerationsText(std::string text) override {
        calls_.post([this, t = QString::fromStdString(text)] { w_.NPokoleny->setText(t); });
    }

    void setProgress(int position) override {
        // the bar ignores values outside its range; a short run ends above 100
        calls_.post([this, position] { w_.ProgressBar2->setValue(std::clamp(position, 0, 100)); });
    }

    void memoLine(std::string line) override {
        calls_.post([this, l = std::move(line)] { appendMemo(l); });
    }

    void updMain(int genes) override {
        calls_.call([this, genes] { appendMemo(GenesCreatedLine(genes)); });
    }

    void diaGen() override {
        calls_.call([this] {
            // the warnings of the last run now cover the genetic model too
            UpdateModelWarnings(w_.state(), w_.form().decimalSeparator, {"MGenet"},
                                [this](const std::string& line) { appendMemo(line); });
            w_.DiaStart();
        });
    }

  private:
    std::optional<int> readInt(QLineEdit* edit) {
        std::optional<int> v;
        calls_.call([&] { v = ParseInt32(edit->text().toStdString()); });
        return v;
    }

    void appendMemo(const std::string& line) { w_.appendMemoLine(line); }

    TForm1& w_;
    UiCallQueue& calls_;
};

TGen::TGen(AnalysisState& st, GaFlags& flags, TForm1& window, UiCallQueue& calls, const GaRunOptions& options,
           GenerationLoop loop)
    : QThread(&window), st_(st), flags_(flags), window_(window), calls_(calls), options_(options),
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
    GuiGaHost host(window_, calls_);
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
