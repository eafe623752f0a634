#include "cli/commands.h"

#include "core/data/fleet_simulator.h"
#include "core/text/text_codec.h"

#include <fstream>
#include <iostream>

namespace tovimo::cli {

int RunSimulate(const SimulateOptions& o) {
    std::string text;
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
        p.fleet = FleetSizeFor(p, o.failures);
        text = SimulateFleet(p).text;
    }
    if (o.encoding == "cp1251") text = EncodeCp1251(text);
    if (o.output.empty()) {
        std::cout << text;
        return kDone;
    }
    std::ofstream out(o.output, std::ios::binary);
    out << text;
    if (!out) {
        std::cerr << "Не удалось записать файл " << o.output << "\n";
        return kFileError;
    }
    return kDone;
}

} // namespace tovimo::cli
