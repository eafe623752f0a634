#include "core/genetic/genetic_form_host.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <limits>

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

InputsGaHost::InputsGaHost(MainForm& form, const GeneticInputs& in) : FormGaHost(form), in_(in) {
    f_.TrackBar1 = in.crossover;
    f_.TrackBar2 = in.mutation;
}

std::optional<int> InputsGaHost::whole(const std::optional<long long>& v) {
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*v);
}

} // namespace tovimo
