// The values of the main window's controls that the computations read and
// write. The desktop program copies its widgets into this struct before a core
// call and back afterwards; the command-line front end fills it from options.
// Texts are UTF-8 and hold numbers as the user sees them (locale separator).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tovimo {

struct ChartPoint {
    double x = 0;
    double y = 0;
    unsigned color = 0; // 0xRRGGBB
};

struct MainForm {
    char decimalSeparator = '.'; // the user's locale

    std::string FilePath;
    std::string Label10; // comment of the data file
    std::string Label15; // comment of the warranty-end times file

    // Data summary
    std::string meKolAll, meKolOtk;
    std::string meSred, meSKO;
    std::string LabeledEdit2;         // T fin
    std::string LabeledEdit3 = "300"; // run-in time
    bool CheckBox1 = false;           // "Контроль ИД"

    // Warranty-end times file
    std::string Edit4 = "c:\\";
    std::string MaskEdit1, MaskEditSrednee, MaskEditSKO;

    // Page 1
    std::string Edit1 = "1.00025"; // factor of model 1.1
    std::string Edit6 = "1.00025"; // factor of model 1.2
    std::string Edit5 = "1.00025"; // factor of model 2
    bool SpirSpusk = true;
    bool BoxNewton = false;
    bool BoxSmirnow = false;
    bool BoxPravd = false; // "Модель 3 (максимум правдоподобия)"
    bool PravdOnce = true; // "Отказ изделия не более одного раза (K = 1)"
    int PravdLevel = 1;    // index into kLikelihoodLevels: 0,90 / 0,95 / 0,99
    int PravdLaw = 0;      // 0 "нормальный", 1 "по файлу" (after a warranty-end times file)
    int PravdBootstrap = 200; // bootstrap replicates of the goodness of fit, 0 for none
    unsigned long long PravdSeed = 1;
    int PravdThreads = 0;    // 0 for the hardware's count
    std::string PravdWindow; // "Конец наблюдения, ч": empty for the end of the warranty law
    bool Sred_flag = false;
    bool SKO_Flag = false;
    int RadioGroup1 = 1;

    // Page 2
    std::string Edit2 = "0.0000001"; // precision
    std::string Edit3 = "3000";      // population size
    std::string NPokoleny = "1500";  // generations
    std::string LabeledEdit1 = "50"; // copy count
    int TrackBar1 = 55;
    int TrackBar2 = 15;
    int ProgressBar2 = 0;

    // Column widths of the record grid Mass_List (its cells are read from the
    // state's records when shown: RecordGridCell)
    std::array<int, 4> Mass_List_widths{90, 100, 100, 100};

    // Small log-log chart Chart2
    std::vector<ChartPoint> Chart2_Series1; // failures
    std::vector<ChartPoint> Chart2_Series2; // regression line

    // Progress memo Memo2
    std::vector<std::string> Memo2{"Ход решения"};
};

} // namespace tovimo
