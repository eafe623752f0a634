// tovimo-cli: the analysis without windows.
#include "cli/charts_option.h"
#include "cli/commands.h"
#include "cli/report_option.h"

#include <CLI/CLI.hpp>

#include <clocale>
#include <iostream>
#include <limits>

namespace {

// A number inside (low, high]; the refusal in Russian, as the program's other messages.
CLI::Validator Above(double low, double high = std::numeric_limits<double>::max()) {
    return CLI::Validator(
        [low, high](std::string& s) -> std::string {
            double v = 0;
            if (CLI::detail::lexical_cast(s, v) && v > low && v <= high) return {};
            if (high < std::numeric_limits<double>::max())
                return "нужно число больше " + CLI::detail::to_string(low) + " и не больше " +
                       CLI::detail::to_string(high) + ", а не «" + s + "»";
            return "нужно положительное число, а не «" + s + "»";
        },
        "ЧИСЛО");
}

} // namespace

int main(int argc, char** argv) {
    using namespace tovimo::cli;
    CLI::App app{"Tovimo: анализ надежности по цензурированному ряду отказов", "tovimo-cli"};
    app.set_version_flag("--version", "tovimo-cli " TOVIMO_VERSION, "версия программы");
    app.require_subcommand(1);
    app.failure_message(
        [](const CLI::App*, const CLI::Error& e) { return std::string(e.what()) + "\nСправка: --help\n"; });

    AnalyzeOptions a;
    auto* an = app.add_subcommand("analyze", "Загрузка файла отказов, расчет моделей и таблица результатов");
    an->add_option("DATA_FILE", a.dataFile, "файл исходных данных")->required();
    an->add_option("--warranty", a.warrantyFile, "файл времен окончания гарантии");
    an->add_option("--mean", a.mean, "среднее время гарантии, ч");
    an->add_option("--sd", a.sd, "СКО времени гарантии, ч");
    an->add_option("--t-fin", a.tFin, "T fin временного ряда отказов, ч");
    an->add_option("--run-in", a.runIn, "расчетное время приработки, ч");
    an->add_option("--models", a.models, "spiral,newton,smirnov,genetic,mle или none");
    an->add_option("--criterion", a.criterion, "способ подбора параметров: 0, 1 или 2");
    an->add_flag("--fit-mean", a.fitMean, "подбор среднего времени гарантии");
    an->add_flag("--fit-sd", a.fitSd, "подбор СКО времени гарантии");
    an->add_option("--factor-spiral", a.factorSpiral, "коэффициент уменьшения шага модели 1.1");
    an->add_option("--factor-newton", a.factorNewton, "коэффициент уменьшения шага модели 1.2");
    an->add_option("--factor-smirnov", a.factorSmirnov, "коэффициент уменьшения шага модели 2");
    an->add_option("--precision", a.precision, "точность подбора генетического алгоритма");
    an->add_option("--population", a.population, "размер популяции");
    an->add_option("--generations", a.generations, "число поколений");
    an->add_option("--copy-best", a.copyBest, "сколько лучших копировать");
    an->add_option("--crossover", a.crossover, "положение движка вероятности скрещивания, 0..100");
    an->add_option("--mutation", a.mutation, "положение движка вероятности мутаций, 0..100");
    an->add_option("--seed", a.seed, "начальное число генератора случайных чисел");
    an->add_option("--threads", a.threads, "число потоков генетического алгоритма");
    an->add_flag("--check", a.check, "контроль исходных данных");
    an->add_flag("--json", a.json, "вывод в JSON");
    an->add_option("--charts", a.chartsDir, "папка для изображений диаграмм");
    an->add_option("--csv", a.csvDir,
                   "папка для таблиц CSV: результаты, гистограмма, причины (с --by-cause)");
    an->add_option("--report", a.reportFile, "отчёт PDF");
    an->add_option("--mle-k", a.mleK, "модель 3: once (K = 1) или free (повторные отказы)")
        ->check(CLI::IsMember({"once", "free"}));
    an->add_option("--level", a.level, "модель 3: доверительный уровень 0.90, 0.95 или 0.99");
    an->add_option("--law", a.law, "модель 3: закон гарантии normal или empirical (по файлу)")
        ->check(CLI::IsMember({"normal", "empirical"}));
    an->add_option("--bootstrap", a.bootstrap, "модель 3: повторений бутстрепа (0 без него)");
    an->add_option("--mle-window", a.mleWindow,
                   "модель 3: конец наблюдения, ч (по умолчанию конец закона гарантии)")
        ->check(CLI::PositiveNumber);
    an->add_flag("--by-cause", a.byCause, "модель 3 по каждой причине отказов (с --models mle)");

    ForecastOptions fc;
    auto* fo = app.add_subcommand("forecast", "Прогноз числа отказов за гарантию по модели 3");
    fo->add_option("DATA_FILE", fc.dataFile, "файл исходных данных")->required();
    fo->add_option("--fleet", fc.fleet, "парк изделий (по умолчанию приведённый парк данных)")
        ->check(Above(0));
    auto* foMean = fo->add_option("--mean", fc.mean, "среднее время гарантии нового парка, ч");
    auto* foSd = fo->add_option("--sd", fc.sd, "СКО времени гарантии нового парка, ч")->check(Above(0));
    auto* foUnits = fo->add_option("--units", fc.unitsFile, "файл времен окончания гарантии нового парка");
    foUnits->excludes(foMean)->excludes(foSd);
    fo->add_option("--horizon", fc.horizon, "горизонт, ч (по умолчанию среднее + 3 СКО)")->check(Above(0));
    fo->add_option("--step", fc.step, "шаг таблицы, ч")->check(Above(0));
    fo->add_option("--level", fc.level, "уровень интервалов")->check(Above(0.5, 0.999));
    fo->add_option("--extend", fc.extend, "продление гарантии, ч: сколько отказов оно добавит")
        ->check(Above(0));
    fo->add_option("--mle-k", fc.mleK, "модель 3: once (K = 1) или free (повторные отказы)")
        ->check(CLI::IsMember({"once", "free"}));
    fo->add_option("--cause", fc.cause, "прогноз по одной причине отказов (её название)");
    fo->add_flag("--json", fc.json, "вывод в JSON");
    fo->add_option("--csv", fc.csvDir, "папка для таблицы прогноза forecast.csv");

    ScoreOptions s;
    auto* sc = app.add_subcommand("score", "Оценка заданной модели Вейбулла по данным");
    sc->add_option("DATA_FILE", s.dataFile, "файл исходных данных")->required();
    sc->add_option("--A", s.A, "параметр формы")->required();
    sc->add_option("--B", s.B, "параметр масштаба, ч")->required();
    sc->add_option("--K", s.K, "масштабный коэффициент")->required();
    sc->add_option("--mean", s.mean, "среднее время гарантии, ч");
    sc->add_option("--sd", s.sd, "СКО времени гарантии, ч");
    sc->add_option("--t-fin", s.tFin, "T fin временного ряда отказов, ч");
    sc->add_option("--run-in", s.runIn, "расчетное время приработки, ч");
    sc->add_option("--warranty", s.warrantyFile, "файл времен окончания гарантии");
    sc->add_option("--law", s.law, "закон гарантии правдоподобия: normal или empirical")
        ->check(CLI::IsMember({"normal", "empirical"}));
    sc->add_flag("--json", s.json, "вывод в JSON");

    SimulateOptions m;
    auto* sim = app.add_subcommand("simulate", "Имитация парка изделий: файл исходных данных");
    sim->add_option("--failures", m.failures, "ожидаемое число отказов");
    sim->add_option("--shape", m.shape, "параметр формы A");
    sim->add_option("--scale", m.scale, "параметр масштаба B, ч");
    sim->add_option("--repeat", m.repeat, "отказов на изделие по закону Вейбулла");
    sim->add_option("--mean", m.mean, "среднее время гарантии, ч");
    sim->add_option("--sd", m.sd, "СКО времени гарантии, ч");
    sim->add_option("--seed", m.seed, "начальное число генератора");
    sim->add_option("--encoding", m.encoding, "cp1251 или utf8")->check(CLI::IsMember({"cp1251", "utf8"}));
    sim->add_option("--warranty-times", m.warrantyTimes, "вместо отказов: столько времен окончания гарантии");
    sim->add_option("-o,--output", m.output, "файл (по умолчанию стандартный вывод)");
    sim->add_option("--units", m.unitsFile, "файл времен окончания гарантии всех изделий парка");
    sim->add_flag("--once", m.once, "каждое изделие отказывает не более одного раза");

    ImportOptions im;
    auto* imp = app.add_subcommand("import", "Таблица отказов (CSV, TSV) в файл исходных данных");
    imp->add_option("TABLE", im.table, "таблица: наработка, причина, описание")->required();
    imp->add_option("--fleet", im.fleet, "парк изделий")->required();
    imp->add_option("--mean", im.mean, "среднее время гарантии, ч")->required();
    imp->add_option("--sd", im.sd, "СКО времени гарантии, ч")->required();
    imp->add_option("--failures", im.failures, "число отказов (по умолчанию число строк)");
    imp->add_option("--comment", im.comment, "комментарий (по умолчанию имя файла таблицы)");
    imp->add_option("-o,--output", im.output, "файл исходных данных")->required();
    imp->add_flag("--skip-bad", im.skipBad, "записать файл без строк, которые не удалось прочитать");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : kUsage;
    }
    if (*an) return RunAnalyze(a, {WriteChartsOption, WriteReportOption});
    if (*sc) return RunScore(s);
    if (*sim) return RunSimulate(m);
    if (*imp) return RunImport(im);
    if (*fo) return RunForecast(fc);
    return kUsage;
}
