#include "cli/commands.h"

#include "core/data/fleet_simulator.h"
#include "core/text/text_codec.h"

#include <fstream>
#include <iostream>

namespace tovimo::cli {

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (out) return true;
    std::cerr << "Не удалось записать файл " << path << "\n";
    return false;
}

} // namespace

int RunSimulate(const SimulateOptions& o) {
    std::string text;
    std::string units;
    if (o.warrantyTimes) {
        text = SimulateWarrantyTimes(o.mean, o.sd, *o.warrantyTimes, o.seed);
    } else {
        FleetParams p;
        p.shape = o.shape;
        p.scale = o.scale;
        p.repeat = o.repeat;
        p.mean = o.mean;
        p.sd = o.sd;
        p.seed = o.seed;
        p.once = o.once;
        p.fleet = FleetSizeFor(p, o.failures);
        const SimulatedFleet fleet = SimulateFleet(p);
        text = fleet.text;
        if (o.unitsFile) units = WarrantyTimesText(fleet.exitTimes);
    }
    if (o.unitsFile && !o.warrantyTimes) {
        if (o.encoding == "cp1251") units = EncodeCp1251(units);
        if (!WriteFile(*o.unitsFile, units)) return kFileError;
    }
    if (o.encoding == "cp1251") text = EncodeCp1251(text);
    if (o.output.empty()) {
        std::cout << text;
        return kDone;
    }
    return WriteFile(o.output, text) ? kDone : kFileError;
}

} // namespace tovimo::cli
