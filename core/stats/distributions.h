// Error function, normal law of the warranty end and the two-parameter
// Weibull law (A = shape, B = scale in hours). Stateless and allocation-free.
#pragma once

namespace tovimo {

double ErfC(double X);
double Erf(double X);
double NormalDistribution(double X);
double CDF_Gauss(double Sred, double SKO, double X);
double WeibF(double A, double B, double t);
double weibCDF(double A, double B, double t);
double weibCDF2(double A, double B, double t1, double t2);
double weibinv(double A, double B, double P);

} // namespace tovimo
