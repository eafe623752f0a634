#include "core/genetic/genetic_form_host.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <climits>

namespace tovimo {

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    const auto v = ParseInt(text);
    if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
    return static_cast<int>(*v);
}

} // namespace

std::optional<int> FormGaHost::populationSize() {
    return wholeNumber(f_.Edit3);
}

std::optional<int> FormGaHost::generations() {
    return wholeNumber(f_.NPokoleny);
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
