#include "core/data/data_file.h"

#include "core/stats/indicators.h"
#include "core/text/number_format.h"
#include "core/text/text_codec.h"
#include "core/text/text_reader.h"

#include <fstream>
#include <limits>
#include <sstream>

namespace tovimo {

namespace {

const char* const kOther = "Другие";

std::string headerErrorText(size_t line, const std::string& token) {
    if (token.empty())
        return "Ошибка чтения файла исходных данных: в строке " + std::to_string(line) + " нет числа";
    return "Ошибка чтения файла исходных данных: в строке " + std::to_string(line) + " «" + token +
           "» не является числом";
}

struct HeaderNumber {
    bool ok = true;
    double real = 0;
    long long whole = 0;
    size_t line = 0;
    std::string token;
};

HeaderNumber readReal(TextReader& r) {
    HeaderNumber h;
    auto t = r.readToken();
    h.line = t.line ? t.line : r.lineNumber();
    h.token = t.text;
    if (t.text.empty()) return h; // the file ended: 0 without an error
    auto v = ParseFloat(t.text, '.');
    if (!v)
        h.ok = false;
    else
        h.real = *v;
    return h;
}

HeaderNumber readWhole(TextReader& r) {
    HeaderNumber h;
    auto t = r.readToken();
    h.line = t.line ? t.line : r.lineNumber();
    h.token = t.text;
    if (t.text.empty()) return h;
    auto v = ParseInt(t.text);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        h.ok = false;
    else
        h.whole = *v;
    return h;
}

std::string decimalText(const char* whole, const char* fraction, char sep) {
    return std::string(whole) + sep + fraction;
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return ss.str();
}

bool LoadDataFile(AnalysisState& st, MainForm& form, const std::string& path, const MessageFn& message,
                  const std::function<void()>& onOpened) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) {
        st.uk = false;
        message(kMsgFileMissing);
        return false;
    }
    if (onOpened) onOpened();
    return LoadDataText(st, form, *bytes, message);
}

bool LoadDataText(AnalysisState& st, MainForm& form, std::string_view bytes, const MessageFn& message) {
    const char sep = form.decimalSeparator;
    const std::string text = DecodeFileText(bytes);

    // The header is checked before anything changes: a file the state cannot
    // hold is refused whole.
    {
        TextReader probe(text);
        probe.readLine();
        readReal(probe);
        readReal(probe);
        readReal(probe);
        auto kol = readWhole(probe);
        auto np = readWhole(probe);
        bool headerOk = kol.ok && np.ok;
        if (headerOk && (np.whole < 0 || np.whole > MaxNamedCauses)) {
            st.uk = false;
            message("Число причин отказов в файле (" + std::to_string(np.whole) +
                    ") вне допустимого диапазона: допускается от 0 до " + std::to_string(MaxNamedCauses) +
                    " причин. Файл не загружен");
            return false;
        }
    }

    TextReader r(text);
    st.uk = true;
    st.MasProbl.clear();
    st.Otk_Izd = 0;
    st.MGenet.Kol_Nakopl = 0;
    st.MGenet.K_powtor = 0;
    st.MGenet.Unsens = 0;
    // with its repeat factor zeroed the genetic model describes nothing: it is
    // not shown again until a genetic run computes it anew
    st.MGenet.Executed = false;
    // the warranty law is the new header's: the last warranty file's figures go
    form.Label15.clear();
    form.Edit4.clear();
    form.MaskEdit1.clear();
    form.MaskEditSrednee.clear();
    form.MaskEditSKO.clear();

    st.Comment = r.readLine();
    form.Label10 = st.Comment;

    auto fail = [&](const HeaderNumber& h) {
        st.uk = false; // no calculation on a partly read file
        message(headerErrorText(h.line, h.token));
        return false;
    };

    auto sred = readReal(r);
    if (!sred.ok) return fail(sred);
    st.Sred = sred.real;
    form.meSred = FloatToStr(st.Sred, sep);
    auto sko = readReal(r);
    if (!sko.ok) return fail(sko);
    st.SKO = sko.real;
    form.meSKO = FloatToStr(st.SKO, sep);
    auto park = readReal(r);
    if (!park.ok) return fail(park);
    st.Kol_Izd_All = park.real;
    form.meKolAll = FloatToStr(st.Kol_Izd_All, sep);
    auto kol = readWhole(r);
    if (!kol.ok) return fail(kol);
    st.KolOtk = static_cast<int>(kol.whole);
    form.meKolOtk = std::to_string(st.KolOtk);
    auto np = readWhole(r);
    if (!np.ok) return fail(np);
    st.NPrich = static_cast<int>(np.whole);

    form.Edit1 = decimalText("1", "00025", sep);
    form.Edit6 = decimalText("1", "00025", sep);
    form.Edit5 = decimalText("1", "0005", sep);
    form.Edit2 = decimalText("0", "0000002", sep);

    const int n = st.NPrich;
    st.V_otk.assign(static_cast<size_t>(n) + 2, Vid_otkaza{});
    st.Vidy_otkazov.assign(static_cast<size_t>(n) + 2, Vid_otkaza{});
    st.V_otk[static_cast<size_t>(n) + 1] = Vid_otkaza{kOther, 0};
    for (int k = 1; k <= n; ++k)
        st.V_otk[static_cast<size_t>(k)] = Vid_otkaza{Trim(r.readLine()), 0};

    if (st.KolOtk >= 0 && st.KolOtk <= 500)
        form.NPokoleny = "1500";
    else if (st.KolOtk >= 501 && st.KolOtk <= 999)
        form.NPokoleny = "2000";
    else if (st.KolOtk >= 1000 && st.KolOtk <= 99999)
        form.NPokoleny = "4000";

    // The cause match compares lower-case texts; without a named cause
    // nothing needs folding.
    std::vector<std::string> lowerNames(static_cast<size_t>(n) + 1);
    bool anyName = false;
    for (int k = 1; k <= n; ++k) {
        lowerNames[static_cast<size_t>(k)] = LowerCase(st.V_otk[static_cast<size_t>(k)].Nazv_Prich);
        anyName = anyName || !lowerNames[static_cast<size_t>(k)].empty();
    }

    const double clampTime = st.Sred + 3 * st.SKO;
    bool eventWithoutTime = false;
    long long i = 0;
    st.MasProbl.reserve(r.linesLeft());
    std::string timeText, lowerSrc;
    while (!r.eof()) {
        Problems p;
        const std::string_view line = TrimView(r.readLineView());
        const size_t tab = line.find('\t');
        // without a tab the time text is empty and does not convert; both '.'
        // and ',' stand for the decimal separator
        timeText.assign(tab == std::string_view::npos ? std::string_view() : line.substr(0, tab));
        for (char& c : timeText)
            if (c == ',') c = '.';
        if (auto t = ParseFloat(timeText, '.')) {
            p.time = *t;
            if (p.time > clampTime) p.time = clampTime;
            if (p.time <= 0) eventWithoutTime = true;
        } else {
            message("Ошибка указания времени в строке " + std::to_string(i + n + 7) +
                    " файла исходных данных");
        }
        {
            std::string src(tab == std::string_view::npos ? line : TrimView(line.substr(tab)));
            const size_t starByte = src.find('*');
            if (starByte != std::string::npos) {
                const size_t star = CharCount(std::string_view(src).substr(0, starByte)); // 0-based
                p.komment = CharSubstr(src, star + 2);
                if (star > 0) src = CharSubstr(src, 0, star - 1);
            }
            int match = 0; // the last cause whose name the source names
            if (anyName) {
                lowerSrc = LowerCase(src);
                for (int k = 1; k <= n; ++k) {
                    const std::string& name = lowerNames[static_cast<size_t>(k)];
                    if (!name.empty() && lowerSrc.find(name) != std::string::npos) {
                        match = k;
                        st.V_otk[static_cast<size_t>(k)].Dolya += 1;
                    }
                }
            }
            if (match > 0) {
                p.chey = match;
                p.Pri = std::move(src);
            } else {
                p.chey = n + 1;
                p.Pri = kOther;
                st.V_otk[static_cast<size_t>(n) + 1].Dolya += 1;
                if (form.CheckBox1) message("Неопределенный отказ при t=" + FloatToStr(p.time, sep) + " ч");
            }
        }
        st.MasProbl.push_back(std::move(p));
        ++i;
    }
    if (eventWithoutTime && form.CheckBox1)
        message("События без наработки - не отказы, а результат не проведения ПСИ. При оценке надежности "
                "целесообразно исключить");

    DeriveIndicators(st, form);
    return st.uk;
}

} // namespace tovimo
