// Simulation of a product fleet under warranty: every product leaves warranty
// at a normally distributed time and fails by a Weibull law, repeatedly, while
// it is under warranty. Writes a failure data file (Windows-1251 or UTF-8).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovimo {

// A cause's own law of failing, when causes age differently.
struct CauseLaw {
    double shape = 1, scale = 9000, repeat = 0.1; // Weibull A, B and K of the cause
};

struct FleetParams {
    double fleet = 400;  // products
    double shape = 1.3;  // Weibull A
    double scale = 9000; // Weibull B, hours
    double repeat = 1.4; // expected failures per product over the whole law
    double mean = 3000;  // warranty end, hours
    double sd = 700;
    double unknownShare = 0.1; // share of failures reported without a record
    double otherShare = 0.08;  // share of records whose source names no cause
    std::uint64_t seed = 1;
    bool commaDecimals = true; // write some times with a comma
    bool once = false;         // each product fails at most once, with probability F(exit)
    std::vector<std::string> causes{"Двигатель",       "Насос",           "Блок питания",
                                    "Датчик давления", "Электропроводка", "Тормозная система",
                                    "Гидроцилиндр"};
    // When not empty, one law per named cause (in the order of `causes`): each
    // cause fails by its own law as a Poisson process, and shape, scale and
    // repeat above are not used; no record goes to "Другие".
    std::vector<CauseLaw> causeLaws;
    std::string comment = "Насосная станция НС-2, гарантийный период 2023 г.";
};

struct SimulatedFleet {
    std::string text;          // the data file as UTF-8
    std::vector<double> times; // failure times with records, unsorted
    int declaredFailures = 0;
    std::vector<double> exitTimes; // every product's warranty-end time, in fleet order
};

// Expected failures per product of a fleet (for choosing the fleet size that
// gives a wanted number of failures).
double ExpectedFailuresPerProduct(const FleetParams& p);

// The fleet size at which about `failures` failures come with a record.
double FleetSizeFor(const FleetParams& p, double failures);

SimulatedFleet SimulateFleet(const FleetParams& p);

// Warranty-end times of `count` products, one file line each after a comment.
std::string SimulateWarrantyTimes(double mean, double sd, int count, std::uint64_t seed);

// A warranty-end times file holding the given times.
std::string WarrantyTimesText(const std::vector<double>& times);

} // namespace tovimo
