// Writes the generated part of the seed corpora: simulated fleets of several
// shapes as data files, simulated warranty-end times, and typical run inputs.
// Every seed starts with the option byte the targets read first.
// Usage: make_seeds CORPUS_DIR (subfolders data_file, warranty_file, run_inputs).
#include "core/data/fleet_simulator.h"
#include "core/text/text_codec.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

using namespace tovimo;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& dir, const std::string& name, char options, const std::string& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << options << bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds CORPUS_DIR\n";
        return 2;
    }
    const fs::path root = argv[1];

    struct Fleet {
        const char* name;
        double fleet, shape, scale, mean, sd;
        bool comma, cp1251;
    };
    const Fleet fleets[] = {
        {"small", 30, 1.3, 9000, 3000, 700, true, true},     {"wear", 200, 3.0, 4000, 3000, 700, false, true},
        {"infant", 150, 0.5, 20000, 2000, 300, true, false}, {"tight", 80, 1.0, 5000, 1000, 1, false, true},
        {"wide", 60, 1.2, 8000, 500, 5000, true, true},
    };
    std::uint64_t seed = 1;
    for (const Fleet& f : fleets) {
        FleetParams p;
        p.fleet = f.fleet;
        p.shape = f.shape;
        p.scale = f.scale;
        p.mean = f.mean;
        p.sd = f.sd;
        p.commaDecimals = f.comma;
        p.seed = seed++;
        const SimulatedFleet s = SimulateFleet(p);
        Write(root / "data_file", std::string("fleet_") + f.name, f.comma ? 3 : 0,
              f.cp1251 ? EncodeCp1251(s.text) : s.text);
    }

    // Extreme magnitudes: tiny, huge and both in one file.
    Write(root / "data_file", "extreme_tiny", 0,
          "Крошечные\n1e-300\n1e-301\n10\n3\n1\nДвигатель\n1e-310\tдвигатель\n2e-300\tнасос\n"
          "3e-300\tдвигатель\n");
    Write(root / "data_file", "extreme_huge", 1,
          "Огромные\n1e300\n1e300\n1e300\n3\n1\nДвигатель\n1e298\tдвигатель\n"
          "2,5e298\tнасос\n1,7e308\tдвигатель\n");
    std::string mixed = "Смешанные\n1e300\n1e300\n100\n64\n2\nДвигатель\nНасос\n1e-300\tдвигатель\n"
                        "5e298\tнасос\n1e299\tдвигатель\n";
    for (int k = -30; k <= 30; ++k)
        mixed += "1e" + std::to_string(k * 10) + (k % 2 ? "\tдвигатель\n" : "\tнасос\n");
    Write(root / "data_file", "extreme_mixed", 2, mixed);

    Write(root / "warranty_file", "sim_3", 0, SimulateWarrantyTimes(3000, 700, 3, 1));
    Write(root / "warranty_file", "sim_40", 1, SimulateWarrantyTimes(2500, 400, 40, 2));
    Write(root / "warranty_file", "remarks", 0, "Гарантия\n  2000 партия 1\n\n3000\t2\n4.5e3\n");
    Write(root / "warranty_file", "extreme_tiny", 0, "Гарантия\n1e-310\n2e-300\n5e-301\n");
    Write(root / "warranty_file", "extreme_huge", 1, "Гарантия\n1e300\n1,5e307\n1,7e308\n");
    Write(root / "warranty_file", "extreme_mixed", 0, "Гарантия\n1e-300\n3000\n1e300\n-1e299\n");

    // separator, ticked models and flags, then meSred, meSKO, T fin, run-in,
    // the three factors, precision, population, generations, copy count
    Write(root / "run_inputs", "defaults", 2,
          "3000\n700\n4500\n300\n1.00025\n1.00025\n1.0005\n0.0000002\n3000\n1500\n50");
    Write(root / "run_inputs", "comma_all", 1 | 2 | 8 | 16 | 32,
          "3000,5\n700\n4500,25\n0\n1,00025\n1,00025\n1,0005\n0,0000002\n10\n2\n5");
    Write(root / "run_inputs", "bad", 4, "\nabc\n1,5\n-300\n0\n0.5\n1e308\n1\n-3\n0\nx");
    Write(root / "run_inputs", "huge", 8 | 64,
          "1e300\n1e-300\n1e15\n1e9\n1e300\n2\n1e-300\n1e-12\n2147483648\n99999\n-1");
    Write(root / "run_inputs", "extreme_tiny", 2 | 8,
          "1e-300\n1e-310\n1e-300\n1e-320\n1.0000000000001\n1e-300\n1e-308\n1e-300\n2\n1\n1");
    Write(root / "run_inputs", "extreme_huge", 2 | 16,
          "1e300\n1e300\n1.7e308\n1e300\n1e300\n1.7e308\n1e300\n1e300\n1000000\n2147483647\n"
          "9223372036854775807");
    Write(root / "run_inputs", "extreme_mixed", 1 | 2 | 8 | 32,
          "1e-300\n1e300\n4500\n1e-300\n1e300\n1,00025\n1e-300\n0,0000002\n3\n2\n1");
    return 0;
}
