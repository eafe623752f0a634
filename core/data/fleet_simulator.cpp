#include "core/data/fleet_simulator.h"

#include "core/data/data_file_text.h"
#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <cmath>
#include <random>

namespace tovimo {

namespace {

class Draws {
  public:
    explicit Draws(std::uint64_t seed) : gen_(seed) {}
    double uniform() { return static_cast<double>(gen_() >> 11) * 0x1.0p-53; }
    double normal() {
        double u1 = uniform();
        while (u1 <= 0)
            u1 = uniform();
        const double u2 = uniform();
        return std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    }
    int poisson(double lambda) {
        if (lambda > 30)
            return std::max(0, static_cast<int>(std::lround(lambda + std::sqrt(lambda) * normal())));
        const double L = std::exp(-lambda);
        int k = 0;
        double p = 1;
        do {
            ++k;
            p *= uniform();
        } while (p > L);
        return k - 1;
    }
    size_t index(size_t n) {
        return std::min(n - 1, static_cast<size_t>(uniform() * static_cast<double>(n)));
    }

  private:
    std::mt19937_64 gen_;
};

const char* const kDescriptions[] = {"перегрев", "течь", "обрыв", "износ", "замыкание", "вибрация", ""};
const char* const kOtherSources[] = {"Кабина", "Прочие узлы", "Рама", "Не установлен"};

} // namespace

double ExpectedFailuresPerProduct(const FleetParams& p) {
    if (!p.causeLaws.empty()) {
        double sum = 0;
        for (size_t c = 0; c < p.causeLaws.size() && c < p.causes.size(); ++c) {
            FleetParams one = p;
            one.causeLaws.clear();
            one.once = false;
            one.shape = p.causeLaws[c].shape;
            one.scale = p.causeLaws[c].scale;
            one.repeat = p.causeLaws[c].repeat;
            sum += ExpectedFailuresPerProduct(one);
        }
        return sum;
    }
    // K * E[F(W)] over the warranty law, by a simple quadrature
    double sum = 0;
    const int steps = 2000;
    for (int i = 0; i < steps; ++i) {
        const double z = -6 + 12.0 * (i + 0.5) / steps;
        const double w = std::max(0.0, p.mean + p.sd * z);
        sum += std::exp(-z * z / 2) / std::sqrt(2 * M_PI) * (12.0 / steps) * weibCDF(p.shape, p.scale, w);
    }
    return (p.once ? 1 : p.repeat) * sum;
}

double FleetSizeFor(const FleetParams& p, double failures) {
    const double perProduct = ExpectedFailuresPerProduct(p) * (1 - p.unknownShare);
    return perProduct > 0 ? failures / perProduct : failures;
}

SimulatedFleet SimulateFleet(const FleetParams& p) {
    Draws d(p.seed);
    SimulatedFleet out;
    DataFileContent file;
    const long fleet = std::max(1L, std::lround(p.fleet));
    int reported = 0;
    for (long i = 0; i < fleet; ++i) {
        const double w = std::max(1.0, p.mean + p.sd * d.normal());
        out.exitTimes.push_back(w);
        if (!p.causeLaws.empty()) {
            for (size_t c = 0; c < p.causeLaws.size() && c < p.causes.size(); ++c) {
                const CauseLaw& law = p.causeLaws[c];
                const double Fc = weibCDF(law.shape, law.scale, w);
                const int k = d.poisson(law.repeat * Fc);
                for (int j = 0; j < k; ++j) {
                    ++reported;
                    if (d.uniform() < p.unknownShare) continue;
                    const double t = weibinv(law.shape, law.scale, d.uniform() * Fc);
                    const double tr = std::max(0.1, std::round(t * 10) / 10);
                    out.times.push_back(tr);
                    file.records.push_back({FloatToStr(tr, '.'), p.causes[c], kDescriptions[d.index(7)]});
                }
            }
            continue;
        }
        const double Fw = weibCDF(p.shape, p.scale, w);
        const int k = p.once ? (d.uniform() < Fw ? 1 : 0) : d.poisson(p.repeat * Fw);
        for (int j = 0; j < k; ++j) {
            ++reported;
            if (d.uniform() < p.unknownShare) continue;
            // a time below the warranty end, from the Weibull law truncated there
            const double u = d.uniform() * Fw;
            const double t = weibinv(p.shape, p.scale, u);
            const double tr = std::max(0.1, std::round(t * 10) / 10);
            out.times.push_back(tr);
            std::string timeText = FloatToStr(tr, (p.commaDecimals && d.uniform() < 0.3) ? ',' : '.');
            std::string source;
            if (p.causes.empty() || d.uniform() < p.otherShare) {
                source = kOtherSources[d.index(4)];
            } else {
                const std::string& c = p.causes[d.index(p.causes.size())];
                source = d.uniform() < 0.5 ? c : c + " узла " + std::to_string(1 + d.index(9));
            }
            file.records.push_back({timeText, source, kDescriptions[d.index(7)]});
        }
    }
    out.declaredFailures = reported;
    file.comment = p.comment;
    file.mean = p.mean;
    file.sd = p.sd;
    file.fleet = static_cast<double>(fleet);
    file.failures = reported;
    file.causes = p.causes;
    out.text = DataFileText(file);
    return out;
}

std::string WarrantyTimesText(const std::vector<double>& times) {
    std::string text = "Времена окончания гарантии\n";
    for (double t : times)
        text += FloatToStr(t, '.') + "\n";
    return text;
}

std::string SimulateWarrantyTimes(double mean, double sd, int count, std::uint64_t seed) {
    Draws d(seed);
    std::string text = "Времена окончания гарантии\n";
    for (int i = 0; i < count; ++i)
        text += FloatToStr(std::round(std::max(1.0, mean + sd * d.normal())), '.') + "\n";
    return text;
}

} // namespace tovimo
