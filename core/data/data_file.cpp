#include "core/data/data_file.h"

#include "core/data/record_source.h"
#include "core/stats/indicators.h"
#include "core/stats/model_slot.h"
#include "core/text/cause_match.h"
#include "core/text/number_format.h"
#include "core/text/text_codec.h"
#include "core/text/text_reader.h"

#include <algorithm>
#include <fstream>
#include <functional>
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
    auto v = ParseInt32(t.text);
    if (!v)
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
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    // Read at once into a string of the file's size; a stream whose size is
    // not known (a pipe) is read to its end.
    const std::streamoff size = in.tellg();
    if (size >= 0) {
        std::string bytes(static_cast<size_t>(size), '\0');
        in.seekg(0);
        if (in.read(bytes.data(), size) && in.gcount() == size && in.peek() == std::char_traits<char>::eof())
            return bytes;
        in.clear();
    }
    in.seekg(0);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return ss.str();
}

namespace {

struct Header {
    std::string comment;
    HeaderNumber sred, sko, park, kol, np;
};

// The comment and the five numbers, each read whatever the others hold.
Header parseHeader(TextReader& r) {
    Header h;
    h.comment = r.readLine();
    h.sred = readReal(r);
    h.sko = readReal(r);
    h.park = readReal(r);
    h.kol = readWhole(r);
    h.np = readWhole(r);
    return h;
}

// A file whose cause count the state cannot hold is refused before anything changes.
bool causeCountAcceptable(const Header& h, AnalysisState& st, const MessageFn& message) {
    if (!h.kol.ok || !h.np.ok || (h.np.whole >= 0 && h.np.whole <= MaxNamedCauses)) return true;
    st.uk = false;
    message("Число причин отказов в файле (" + std::to_string(h.np.whole) +
            ") вне допустимого диапазона: допускается от 0 до " + std::to_string(MaxNamedCauses) +
            " причин. Файл не загружен");
    return false;
}

// The header into the state and its edits, in file order; a number that does
// not convert stops the load, with the numbers before it kept.
bool commitHeader(const Header& h, AnalysisState& st, MainForm& form, const MessageFn& message) {
    const char sep = form.decimalSeparator;
    st.uk = true;
    st.MasProbl.clear();
    st.Otk_Izd = 0;
    st.MGenet.Kol_Nakopl = 0;
    st.MGenet.K_powtor = 0;
    st.MGenet.Unsens = 0;
    // every model was computed for the previous file: none is shown again
    // until a run computes it for this one
    ForgetModels(st);
    // the warranty law is the new header's: the last warranty file's times
    // and figures go, and model 3 takes the normal law again
    st.MasTGarant.clear();
    form.PravdLaw = 0;
    form.Label15.clear();
    form.Edit4.clear();
    form.MaskEdit1.clear();
    form.MaskEditSrednee.clear();
    form.MaskEditSKO.clear();
    st.Comment = h.comment;
    form.Label10 = st.Comment;

    struct Step {
        const HeaderNumber& number;
        std::function<void()> commit;
    };
    const Step steps[] = {
        {h.sred, [&] { form.meSred = FloatToStr(st.Sred = h.sred.real, sep); }},
        {h.sko, [&] { form.meSKO = FloatToStr(st.SKO = h.sko.real, sep); }},
        {h.park, [&] { form.meKolAll = FloatToStr(st.Kol_Izd_All = h.park.real, sep); }},
        {h.kol, [&] { form.meKolOtk = std::to_string(st.KolOtk = static_cast<int>(h.kol.whole)); }},
        {h.np, [&] { st.NPrich = static_cast<int>(h.np.whole); }},
    };
    for (const Step& step : steps) {
        if (!step.number.ok) {
            st.uk = false; // no calculation on a partly read file
            message(headerErrorText(step.number.line, step.number.token));
            return false;
        }
        step.commit();
    }
    return true;
}

// The cause names, "Другие" after them, and the generation count the series size suggests.
void readCauses(TextReader& r, AnalysisState& st, MainForm& form) {
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
}

// Reused between the record lines so that a long series allocates little.
struct RecordScratch {
    std::string timeText;
};

// One record line: the time before the tab, the source after it, the
// description after '*'; the cause is the last named one the source contains
// (none is looked for when no cause has a name).
Problems readRecord(std::string_view line, long long index, CauseMatcher& causes, double clampTime,
                    AnalysisState& st, const MainForm& form, bool& eventWithoutTime, RecordScratch& scratch,
                    const MessageFn& message) {
    const int n = st.NPrich;
    Problems p;
    const size_t tab = line.find('\t');
    // without a tab the time text is empty and does not convert; both '.'
    // and ',' stand for the decimal separator
    std::string& timeText = scratch.timeText;
    timeText.assign(tab == std::string_view::npos ? std::string_view() : line.substr(0, tab));
    for (char& c : timeText)
        if (c == ',') c = '.';
    if (auto t = ParseFloat(timeText, '.')) {
        p.time = *t;
        if (p.time > clampTime) {
            p.timeRead = p.time; // for the models that take the times as observed
            p.time = clampTime;
        }
        if (p.time <= 0) eventWithoutTime = true;
    } else {
        message("Ошибка указания времени в строке " + std::to_string(index + n + 7) +
                " файла исходных данных");
    }
    RecordSource split = SplitRecordSource(tab == std::string_view::npos ? line : TrimView(line.substr(tab)));
    std::string& src = split.source;
    p.komment = std::move(split.description);
    int match = 0;
    if (causes.anyName()) {
        const std::uint64_t named = causes.NamedIn(src);
        for (int k = 1; k <= n; ++k)
            if ((named >> k) & 1) {
                match = k;
                st.V_otk[static_cast<size_t>(k)].Dolya += 1;
            }
    }
    if (match > 0) {
        p.chey = match;
        p.Pri = std::move(src);
    } else {
        p.chey = n + 1;
        p.Pri = kOther;
        st.V_otk[static_cast<size_t>(n) + 1].Dolya += 1;
        if (form.CheckBox1)
            message("Неопределенный отказ при t=" + FloatToStr(p.time, form.decimalSeparator) + " ч");
    }
    return p;
}

void readRecords(TextReader& r, AnalysisState& st, const MainForm& form, const MessageFn& message) {
    const int n = st.NPrich;
    // Without a named cause no source needs folding to lower case.
    std::vector<std::string> names(static_cast<size_t>(n) + 1);
    for (int k = 1; k <= n; ++k)
        names[static_cast<size_t>(k)] = st.V_otk[static_cast<size_t>(k)].Nazv_Prich;
    CauseMatcher causes(names);
    const double clampTime = st.Sred + 3 * st.SKO;
    bool eventWithoutTime = false;
    RecordScratch scratch;
    st.MasProbl.reserve(r.linesLeft());
    for (long long i = 0; !r.eof(); ++i)
        st.MasProbl.push_back(readRecord(TrimView(r.readLineView()), i, causes, clampTime, st, form,
                                         eventWithoutTime, scratch, message));
    if (eventWithoutTime && form.CheckBox1)
        message("События без наработки - не отказы, а результат не проведения ПСИ. При оценке надежности "
                "целесообразно исключить");
}

// The header, the causes and the records of a file's bytes, each line
// decoded as it is read.
bool parseFileBytes(AnalysisState& st, MainForm& form, std::string_view bytes, const MessageFn& message) {
    TextReader r = TextReader::OfFileBytes(bytes);
    const Header header = parseHeader(r);
    if (!causeCountAcceptable(header, st, message)) return false;
    if (!commitHeader(header, st, form, message)) return false;

    const char sep = form.decimalSeparator;
    form.Edit1 = decimalText("1", "00025", sep);
    form.Edit6 = decimalText("1", "00025", sep);
    form.Edit5 = decimalText("1", "0005", sep);
    form.Edit2 = decimalText("0", "0000002", sep);
    readCauses(r, st, form);
    readRecords(r, st, form, message);
    return true;
}

void finishLoad(AnalysisState& st, MainForm& form) {
    DeriveIndicators(st);
    form.LabeledEdit2 =
        st.MasProbl.empty() ? std::string() : FloatToStr(st.MasProbl.back().time, form.decimalSeparator);
}

// Reads a data file's bytes, lets them go, then derives the indicators from
// the records.
bool loadFileBytes(AnalysisState& st, MainForm& form, std::string bytes, const MessageFn& message) {
    if (!parseFileBytes(st, form, bytes, message)) return false;
    // The bytes are not needed while the indicators are derived (a swap with
    // an empty string lets their memory go; an assignment would keep it).
    std::string().swap(bytes);
    finishLoad(st, form);
    return st.uk;
}

} // namespace

bool LoadDataText(AnalysisState& st, MainForm& form, std::string_view bytes, const MessageFn& message) {
    if (!parseFileBytes(st, form, bytes, message)) return false;
    finishLoad(st, form);
    return st.uk;
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
    return loadFileBytes(st, form, std::move(*bytes), message);
}

} // namespace tovimo
