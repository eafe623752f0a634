// The genetic algorithm's objective prepared for one run: the value of
// CelevFunction to the last few bits, with what stays constant during a run
// computed once (the logarithms of the column edges among it) and the
// exponentials of a block of columns at a time (vector_math.h). Evaluating
// it writes nothing, so any number of threads may share it.
#pragma once

#include "core/state/analysis_state.h"

#include <array>
#include <vector>

namespace tovimo {

class alignas(64) GeneticObjective {
  public:
    // Reads the histogram, Tzenz, Izd_Prived, Kol_izw, Sred, SKO and the two
    // search flags from `st`; `K_powtor` is the run's repeat factor.
    GeneticObjective(const AnalysisState& st, double K_powtor);

    // The objective for the candidate Ao (1-based, gene order).
    double operator()(const ParamVector& Ao) const;

    // The objective for four candidates at once, each value bit for bit the
    // one operator() gives it.
    void Evaluate4(const ParamVector* const Ao[4], double out[4]) const;

    double K_powtor() const { return k_; }

  private:
    bool sredOpt_, skoOpt_;
    double sred_, sko_;
    double k_;
    double scale_; // Izd_Prived * K_powtor
    double kolIzw_;
    double penalty_; // factor for very large repeat factors, 1 otherwise
    bool hasPenalty_;
    // Columns up to Tzenz: logarithm of the upper time, middle time, observed
    // failures, and the share still under warranty when the warranty law is
    // not searched.
    std::vector<double> logTime_, mid_, sum_, keep_;
    std::vector<double> keep4_; // keep_ four times over, column by column
};

} // namespace tovimo
