#include "core/stats/distributions.h"

#include <cmath>

namespace tovimo {

// Erf and ErfC are these rational approximations, not std::erf and
// std::erfc: every censoring correction goes through them, and below 0.5 the
// approximation is off by up to 4e-9, which reaches the printed digits of
// the fits (the memo's objective values, the results table). With the C
// library's functions the shown figures would change, and would follow
// whichever C library the program is linked with.
double ErfC(double X) {
    if (X < 0) return 2 - ErfC(-X);
    if (X < 0.5) return 1 - Erf(X);
    if (X >= 10) return 0;
    const double p =
        ((((((0.56418778255 * X + 9.675807882987) * X + 77.08161730368) * X + 368.519615471) * X +
           1143.262070703) *
              X +
          2320.439590251) *
             X +
         2898.029329216) *
            X +
        1826.334884229;
    const double q =
        (((((((X + 17.14980943627) * X + 137.12559605) * X + 661.7361207107) * X + 2094.384367789) * X +
           4429.612803883) *
              X +
          6089.542423272) *
             X +
         4958.827564721) *
            X +
        1826.334884229;
    return std::exp(-X * X) * p / q;
}

double Erf(double X) {
    const double s = X > 0 ? 1.0 : (X < 0 ? -1.0 : 0.0);
    const double a = std::fabs(X);
    if (a < 0.5) {
        const double u = a * a;
        const double p = (((((0.007547728033418632 * u + 0.2888051372075941) * u + 14.33838421917482) * u +
                            38.0140318123903) *
                               u +
                           3017.827885365076) *
                              u +
                          7404.071427101515) *
                             u +
                         80437.36309608402;
        const double q = ((((u + 38.01907139519394) * u + 658.0701554592405) * u + 6379.600173244283) * u +
                          34216.52579246285) *
                             u +
                         80437.36309608402;
        return s * 1.1283791670955126 * a * p / q;
    }
    if (a > 10) return s;
    return s * (1 - ErfC(a));
}

double NormalDistribution(double X) {
    return (Erf(X / 1.4142135623730951) + 1) * 0.5;
}

double CDF_Gauss(double Sred, double SKO, double X) {
    const double r = NormalDistribution((X - Sred) / SKO);
    if (r <= 0) return 1e-12;
    return r; // a NaN (SKO = 0 at X = Sred) passes through unchanged
}

double WeibF(double A, double B, double t) {
    if (A <= 0 || B <= 0) return 1e-305;
    double wf = std::exp(-std::pow(t / B, A));
    wf = wf * A;
    wf = wf / std::pow(B, A);
    wf = wf * std::pow(t, A - 1);
    if (!(wf > 0)) return 1e-30;
    return wf;
}

double weibCDF(double A, double B, double t) {
    if (A <= 0 || B <= 0) return 1e-30;
    const double w = 1 - std::exp(-std::pow(t / B, A));
    if (!(w > 0)) return 1e-30;
    return w;
}

double weibCDF2(double A, double B, double t1, double t2) {
    return weibCDF(A, B, t2) - weibCDF(A, B, t1);
}

double weibinv(double A, double B, double P) {
    if (P >= 1) P = 0.999999;
    return B * std::pow(-std::log(1 - P), 1 / A);
}

} // namespace tovimo
