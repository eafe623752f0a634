#include "core/genetic/genetic_loop.h"

#include "core/genetic/genetic_engine.h"
#include "core/stats/criteria.h"
#include "core/stats/model_slot.h"
#include "core/stats/warranty_law.h"
#include "core/text/number_format.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tovimo {

std::string GenesCreatedLine(int genes) {
    return "Создано генов " + std::to_string(genes);
}

ScheduleStep NextProbability(double current, int barPosition, double scheduled) {
    const double p = barPosition / 100.0;
    if (std::fabs(current - p) > 0.01) return {barPosition / 101.0, std::nullopt};
    return {scheduled, static_cast<int>(Round(scheduled * 101))};
}

double CrossoverScheduled(int g, int N) {
    return std::fabs(std::sin(1 - 8.0 * g / N)) * 0.275;
}

double MutationScheduled(int g, int N) {
    return std::fabs(std::sin(10.0 * g / N - 0.025)) * 0.225;
}

bool CopyTrigger(int g, int N) {
    const double r = static_cast<double>(g) / N;
    return std::fabs(r - 0.8) < 0.0002 || std::fabs(r - 0.6) < 0.0002 || std::fabs(r - 0.2) < 0.0002;
}

namespace {

constexpr double kNoMinimum = 1e306;

class Run {
  public:
    Run(AnalysisState& st, GaHost& host, GaFlags& flags, const GaRunOptions& options, int size, int N,
        double K)
        : st_(st), host_(host), flags_(flags), sep_(options.decimalSeparator), N_(N),
          rng_(options.seed ? *options.seed : GaRandom::ClockSeed()), objective_(st, K),
          pool_(options.threads), eng_(st, rng_, objective_, pool_) {
        eng_.SizePopulation = size;
    }

    GaRunEnd Execute() {
        eng_.MakePopulation();
        host_.updMain(static_cast<int>(eng_.ListGens.size()));
        int g = 2;
        st_.dMinimumAll = kNoMinimum;
        do {
            try {
                generation(g);
            } catch (...) {
                host_.memoLine(kMsgGaException);
                break;
            }
        } while (!flags_.Stop_Gen.load() && g <= N_);
        return finish();
    }

  private:
    void generation(int& g) {
        const auto [bar1, bar2] = host_.trackBars();
        const ScheduleStep cross = NextProbability(eng_.fPCrossingOver, bar1, CrossoverScheduled(g, N_));
        eng_.fPCrossingOver = cross.probability;
        if (cross.barPosition) host_.setTrackBar(1, *cross.barPosition);
        const ScheduleStep mut = NextProbability(eng_.fPMutation, bar2, MutationScheduled(g, N_));
        eng_.fPMutation = mut.probability;
        if (mut.barPosition) host_.setTrackBar(2, *mut.barPosition);

        if (flags_.bCopyBest.exchange(false)) {
            host_.memoLine(kMsgCopyBest);
            // An unusable copy count or any failure abandons the copying silently.
            try {
                eng_.MoveBest(g, host_.copyCount());
            } catch (const std::exception&) {
            }
        }
        if (CopyTrigger(g, N_)) flags_.bCopyBest.store(true);

        eng_.Sort();
        const auto& pop = eng_.ListPopulation;
        if (!pop.empty() && pop.front().Celev_F < st_.dMinimumAll) {
            st_.dMinimumAll = pop.front().Celev_F;
            eng_.XromeToA(pop.front().sX, st_.Ao);
            st_.Aopt = st_.Ao;
            bestValue_ = objective_(st_.Ao);
            ++extraEvaluations_;
            host_.memoLine(Format(sep_, "  ЦФ={:<30.7f}     B={:<24.5f}      A={:<20.6f}  ", bestValue_,
                                  st_.Aopt[1], 1 / st_.Aopt[2]));
        }
        if (pop.empty()) throw std::runtime_error("empty population");
        eng_.ListBest.push_back({pop.front().sX, pop.front().Celev_F, g});
        const size_t shown =
            eng_.ListBest.size() < static_cast<size_t>(N_) ? eng_.ListBest.size() : static_cast<size_t>(N_);
        host_.setGenerationsText(std::to_string(shown));

        eng_.CrossingOverThenMutationDraws(g + 1);
        eng_.SortAndDestroyBad(eng_.SizePopulation);
        ++g;
        eng_.Mutation();

        const std::int64_t q = Round(static_cast<double>(static_cast<std::int64_t>(g) * 100) / N_);
        if (q % 5 == 0) host_.setProgress(static_cast<int>(q));
    }

    GaRunEnd finish() {
        const bool found = st_.dMinimumAll < kNoMinimum;
        if (found) publish();
        eng_.ListPopulation.clear();
        eng_.ListBest.clear();
        eng_.ListGens.clear();
        if (found) {
            Sigmas(st_, st_.MGenet, st_.T_Prirab);
            host_.memoLine(Hist_SKO(st_, st_.MGenet, sep_));
        } else {
            host_.memoLine(kMsgGaNoSolution);
        }
        // The edit showed the size of the best list during the run; the next
        // run is to start with the count this one was given.
        host_.setGenerationsText(std::to_string(N_));
        host_.diaGen();
        return found ? GaRunEnd::Published : GaRunEnd::NoSolution;
    }

    void publish() {
        Mod_Weib& M = st_.MGenet;
        st_.Ao = st_.Aopt;
        M.K_powtor = objective_.K_powtor();
        M.Executed = true;
        M.A = st_.Aopt[2];
        M.B = st_.Aopt[1];
        PublishWarranty(st_, st_.Aopt);
        M.SKO = st_.SKO;
        M.Sred = st_.Sred;
        M.Unsens = 0;
        M.Kol_Nakopl = 0;
        FillModelColumns(st_, M, false);
        M.criterion = bestValue_;
        M.evaluations = eng_.evaluations() + extraEvaluations_;
    }

    AnalysisState& st_;
    GaHost& host_;
    GaFlags& flags_;
    char sep_;
    int N_;
    GaRandom rng_;
    GeneticObjective objective_;
    EvaluationPool pool_;
    GeneticEngine eng_;
    double bestValue_ = std::numeric_limits<double>::quiet_NaN();
    long long extraEvaluations_ = 0;
};

} // namespace

GaRunEnd RunGenerationLoop(AnalysisState& st, GaHost& host, GaFlags& flags, const GaRunOptions& options) {
    flags.bCopyBest.store(false);
    flags.Stop_Gen.store(false);
    const std::optional<int> size = host.populationSize();
    if (!size || *size < 2) return GaRunEnd::NotStarted;
    const std::optional<int> N = host.generations();
    if (!N || *N < 1) return GaRunEnd::NotStarted;
    if (st.MasProbl.empty() || GeneLength(st.Precision) < 2 || st.iop < 2 || st.iop > N_Param_Opt)
        return GaRunEnd::NotStarted;
    st.iMaxBest = *N;
    Run run(st, host, flags, options, *size, *N, StartRepeatFactor(st));
    return run.Execute();
}

} // namespace tovimo
