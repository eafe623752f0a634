// The analysis state: every record, model slot and shared variable of one
// analysis, under the names the rest of the program uses. One instance lives
// for the whole program run; loads and runs overwrite it in place.
#pragma once

#include "core/state/likelihood_result.h"
#include "core/state/model_warning.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovimo {

inline constexpr int Mx_prich = 51;          // highest cause index, "Другие" included
inline constexpr int N_Param_Opt = 4;        // parameters the genetic algorithm can search
inline constexpr size_t kThresholdCount = 4; // TL90expl, TL80expl, T50expl, t50zen
inline constexpr int MaxNamedCauses = Mx_prich - 1;
// Entries of a table by cause index 0..Mx_prich.
inline constexpr size_t CauseSlots = Mx_prich + 1;
inline constexpr int MaxHistColumns = 52;

// A search point or a gene vector, 1-based: B, A, then the searched warranty
// mean and sd (or the repeat factor of the Smirnov fit).
using ParamVector = std::array<double, N_Param_Opt + 1>;

// One failure record of the data file.
struct Problems {
    double time = 0;     // operating hours at failure, at most Sred + 3·SKO of the loaded header
    int chey = 0;        // cause index into Vidy_otkazov (1-based)
    std::string Pri;     // source text (UTF-8), or "Другие"
    std::string komment; // description after '*'
    // The time as read, when the loader moved it down to Sred + 3·SKO; empty
    // when `time` is the time as read.
    std::optional<double> timeRead = std::nullopt;

    double TimeAsRead() const { return timeRead.value_or(time); }
};

// One histogram column.
struct Hist_Rec {
    double time = 0;                       // upper edge, hours
    std::array<int, CauseSlots + 1> Npr{}; // failures per cause index, one spare entry
    int Sum = 0;                           // all failures in the column
};

// One failure cause.
struct Vid_otkaza {
    std::string Nazv_Prich; // UTF-8
    double Dolya = 0;       // records attributed to the cause
};

// One fitted Weibull model with what is derived from it.
struct Mod_Weib {
    double A = 0;
    double B = 0;
    double Kol_Nakopl = 0;
    double SKO = 0;
    double Sred = 0;
    double K_powtor = 0;
    double SKO_out = 0;
    double Unsens = 0;
    double KolmCrt = 0;
    double LamStart = 0;
    double Lam1000 = 0;
    std::vector<double> Kol_F_priv;
    std::vector<double> F_Weib;
    std::vector<double> F_norm;
    bool Executed = false;
    // Unsens and Kol_Nakopl as they stand after each histogram column; the
    // results refresh fills them with the totals, the charts draw them.
    std::vector<double> Unsens_col;
    std::vector<double> Kol_Nakopl_col;

    // Run statistics of the fit that produced the slot (not shown in the window).
    double criterion = 0; // criterion value at the published point
    long long evaluations = 0;
    double seconds = 0;
};

// Draw ranges of the genetic algorithm: Alim[1][k] lowest value, Alim[2][k] span (1-based).
inline constexpr double Alim[3][N_Param_Opt + 1] = {
    {0, 0, 0, 0, 0},
    {0, 1, 0.01, 80, 30},
    {0, 40000, 3, 5000, 1000},
};

// Colours of the per-cause bars, 0xRRGGBB, by cause index.
inline constexpr std::array<std::uint32_t, CauseSlots> ColorArray = {
    0x000000, 0xFF0000, 0xCD853F, 0xFFD700, 0xADD8E6, 0xFFFF00, 0x808000, 0x6495ED, 0xF0E68C,
    0x20B2AA, 0xFF69B4, 0xAFEEEE, 0xFFE4E1, 0x00FF00, 0x0000FF, 0xC71585, 0x00FFFF, 0xC0DCC0,
    0xFFA500, 0xADFF2F, 0x800000, 0x808080, 0xFAFAD2, 0x008000, 0xFFFF00, 0xFF00FF, 0x800080,
    0xDC143C, 0xFFDAB9, 0xC0DCC0, 0xD2B48C, 0xFF0000, 0xFFD700, 0xFF00FF, 0xFFFF00, 0x808000,
    0xA0A0A4, 0x556B2F, 0x20B2AA, 0xFF69B4, 0xAFEEEE, 0xFFE4E1, 0x00FF00, 0x0000FF, 0xEE82EE,
    0x00FFFF, 0xC0DCC0, 0xFFA500, 0x008000, 0x800000, 0x808080, 0xFAFAD2};

struct AnalysisState {
    // Failure series and causes
    std::vector<Problems> MasProbl;
    int NPrich = 0;
    std::vector<Vid_otkaza> V_otk;
    std::vector<Vid_otkaza> Vidy_otkazov;
    std::string Comment;
    double Kol_Izd_All = 0;
    int KolOtk = 0;
    int Kol_izw = 0;
    double Popravka_Unknow = 0;
    double Izd_Prived = 0;
    std::vector<double> MasTGarant;

    // Warranty-time law
    double Sred = 0;
    double SKO = 0;
    bool Sred_Opt = false;
    bool SKO_Opt = false;

    // Empirical indicators
    double TL90expl = 0;
    double TL80expl = 0;
    double T50expl = 0;
    double t50zen = 0;
    // The record at which each threshold time was reached (-1: never), in
    // the order TL90expl, TL80expl, T50expl, t50zen.
    std::array<int, kThresholdCount> ThresholdRecord{-1, -1, -1, -1};
    double Otk_Izd = 0;
    int Tst = -1;
    double Sum_X = 0, Sum_Y = 0, Sum_X2 = 0, Sum_XY = 0;
    double A_ln = 0, B_ln = 0;

    // Inputs of a calculation run
    double Tzenz = 0;
    double T_Prirab = 0;
    int iop = 0;
    double Precision = 0;
    ParamVector NormA{};

    // Genetic algorithm
    ParamVector Ao{};
    ParamVector Aopt{};
    double dMinimumAll = 0;
    int iMaxBest = 0;

    // Histogram
    std::vector<Hist_Rec> Hist_Stol;
    std::int64_t D_Hist1 = 0; // wider than the classic 32 bits: very long series need it
    std::int64_t D_Hist2 = 0;
    std::array<double, CauseSlots> Sum_PrichCol{};

    // Model slots
    Mod_Weib MPirsN; // model 1.2
    Mod_Weib MPirsS; // model 1.1
    Mod_Weib MSmirn; // model 2
    Mod_Weib MGenet; // genetic
    Mod_Weib MPravd; // model 3: maximum likelihood

    // What the maximum-likelihood fit gives beyond its slot
    LikelihoodResult Pravd;

    // Warnings on the executed models after the last run
    std::vector<ModelWarning> Warnings;

    // Result display working state
    int Num_Col = 0;
    double Pot08 = 0;
    double tfin = 0;
    std::vector<double> F_OutGar;
    std::string KolmStr;

    // Main window and files
    bool uk = false;
    std::string Path;

    // Timing of the step-search fits
    double Tim = 0;
    double dT = 0;
    unsigned th = 0, tm = 0, ts = 0, tms = 0;
};

} // namespace tovimo
