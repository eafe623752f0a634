// The warranty-end times file. The first byte chooses the decimal separator;
// the rest is the file.
#pragma once

#include "core/data/warranty_file.h"
#include "core/text/number_format.h"
#include "fuzz/fuzz_checks.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tovimo::fuzz {

inline int WarrantyFileTarget(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    AnalysisState st;
    MainForm form;
    form.decimalSeparator = (data[0] & 1) ? ',' : '.';
    st.Sred = 3000;
    st.SKO = 700;
    st.MPirsS.Executed = true;
    form.meSred = "3000";
    form.meSKO = "700";
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t messages = 0;
    LoadWarrantyText(st, form, bytes, [&](const std::string& m) {
        fuzz::Check(!m.empty() && fuzz::IsUtf8(m), "message is a UTF-8 text");
        ++messages;
    });
    fuzz::Check(fuzz::IsUtf8(st.Comment) && fuzz::IsUtf8(form.Label15), "comment is UTF-8");
    const bool lawChanged = !form.MaskEdit1.empty();
    if (lawChanged) {
        // A law that was taken over is a usable one, and what the edits show
        // reads back as a number: the next run takes the law from them.
        fuzz::Check(messages == 0, "a taken-over law comes without a message");
        fuzz::Check(st.MasTGarant.size() >= 2, "the law comes from two times at least");
        fuzz::Check(std::isfinite(st.Sred) && std::isfinite(st.SKO), "the law is finite");
        fuzz::Check(ParseFloat(form.meSred, form.decimalSeparator).has_value(), "meSred reads back");
        fuzz::Check(ParseFloat(form.meSKO, form.decimalSeparator).has_value(), "meSKO reads back");
        fuzz::Check(!st.MPirsS.Executed, "models of the old law are no longer shown");
    } else {
        fuzz::Check(st.Sred == 3000 && st.SKO == 700, "a refused file leaves the law");
        fuzz::Check(messages > 0, "a refused file is reported");
    }
    return 0;
}

} // namespace tovimo::fuzz
