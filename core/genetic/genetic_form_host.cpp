#include "core/genetic/genetic_form_host.h"

#include "core/text/number_format.h"

#include <algorithm>

namespace tovimo {

std::optional<int> FormGaHost::populationSize() {
    return ParseInt32(f_.Edit3);
}

std::optional<int> FormGaHost::generations() {
    return ParseInt32(f_.NPokoleny);
}

std::optional<long long> FormGaHost::copyCount() {
    return ParseInt(f_.LabeledEdit1);
}

void FormGaHost::setTrackBar(int which, int pos) {
    (which == 1 ? f_.TrackBar1 : f_.TrackBar2) = std::clamp(pos, 0, 100);
}

void FormGaHost::setProgress(int position) {
    f_.ProgressBar2 = std::clamp(position, 0, 100);
}

} // namespace tovimo
