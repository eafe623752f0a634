#include "core/data/warranty_file.h"

#include "core/text/text_codec.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovimo;

namespace {

struct WarrantyLoad {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
};

WarrantyLoad LoadFile(const std::string& name, char sep) {
    WarrantyLoad w;
    w.form.decimalSeparator = sep;
    w.st.uk = true;
    w.st.Sred = 111;
    w.st.SKO = 22;
    w.form.meSred = "111";
    w.form.meSKO = "22";
    w.st.MPirsS.Executed = w.st.MGenet.Executed = w.st.MPravd.Executed = true;
    w.st.Pravd.fitted = true;
    w.st.Warnings.push_back({"MPravd", "gof", "прежнее предупреждение"});
    LoadWarrantyFile(w.st, w.form, std::string(TOVIMO_TEST_DATA) + "/" + name,
                     [&](const std::string& m) { w.messages.push_back(m); });
    return w;
}

WarrantyLoad LoadText(const std::string& text) {
    WarrantyLoad w;
    w.st.uk = true;
    w.st.Sred = 111;
    w.st.SKO = 22;
    w.form.meSred = "111";
    w.st.MSmirn.Executed = true;
    LoadWarrantyText(w.st, w.form, EncodeCp1251(text),
                     [&](const std::string& m) { w.messages.push_back(m); });
    return w;
}

} // namespace

TEST(WarrantyFile, MeanAndSampleDeviation) {
    struct Case {
        const char* file;
        char sep;
        const char* count;
        double mean, sd;
        const char *meSred, *meSKO, *srednee, *sko;
    };
    const Case cases[] = {
        {"gar_three.txt", '.', "3", 3000, 1000, "3.00E+003", "1.00E+003", "3000.000", "1000.000"},
        {"gar_three.txt", ',', "3", 3000, 1000, "3,00E+003", "1,00E+003", "3000,000", "1000,000"},
        {"gar_two.txt", '.', "2", 550, std::sqrt(20000.0), "550.0", "141.0", "550.000", "141.421"},
        {"gar_two.txt", ',', "2", 550, std::sqrt(20000.0), "550,0", "141,0", "550,000", "141,421"},
    };
    for (const auto& c : cases) {
        auto w = LoadFile(c.file, c.sep);
        EXPECT_TRUE(w.messages.empty()) << c.file;
        EXPECT_TRUE(w.st.uk);
        EXPECT_EQ(w.form.MaskEdit1, c.count);
        EXPECT_DOUBLE_EQ(w.st.Sred, c.mean);
        EXPECT_DOUBLE_EQ(w.st.SKO, c.sd);
        EXPECT_EQ(w.form.meSred, c.meSred);
        EXPECT_EQ(w.form.meSKO, c.meSKO);
        EXPECT_EQ(w.form.MaskEditSrednee, c.srednee);
        EXPECT_EQ(w.form.MaskEditSKO, c.sko);
        EXPECT_FALSE(w.st.MPirsS.Executed);
        EXPECT_FALSE(w.st.MGenet.Executed);
        // model 3's result and the warnings belonged to the previous law too
        EXPECT_FALSE(w.st.MPravd.Executed || w.st.Pravd.fitted);
        EXPECT_TRUE(w.st.Warnings.empty());
        EXPECT_EQ(w.form.Edit4, std::string("/..") + c.file);
    }
    auto w = LoadFile("gar_three.txt", '.');
    EXPECT_EQ(w.st.Comment, "Гарантия партии 7");
    EXPECT_EQ(w.form.Label15, "Гарантия партии 7");
    EXPECT_EQ(w.st.MasTGarant, (std::vector<double>{2000, 3000, 4000}));
}

TEST(WarrantyFile, MissingFileClearsUkOnly) {
    auto w = LoadFile("gar_absent.txt", '.');
    EXPECT_FALSE(w.st.uk);
    EXPECT_EQ(w.messages, std::vector<std::string>{"Указанный файл не существует"});
    EXPECT_TRUE(w.st.MPirsS.Executed);
    EXPECT_TRUE(w.st.Pravd.fitted);
    EXPECT_EQ(w.st.Sred, 111);
}

TEST(WarrantyFile, FewerThanTwoTimesKeepTheLaw) {
    for (const char* text : {"комментарий\n", "комментарий\n2500\n\n\n", "комментарий\n   \n"}) {
        auto w = LoadText(text);
        ASSERT_EQ(w.messages.size(), 1u) << text;
        EXPECT_EQ(w.st.Sred, 111);
        EXPECT_EQ(w.form.meSred, "111");
        EXPECT_TRUE(w.st.MSmirn.Executed);
    }
}

TEST(WarrantyFile, LineThatIsNotANumber) {
    auto w = LoadText("комментарий\n2000\nдве тысячи\n4000\n");
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_NE(w.messages[0].find("строке 3"), std::string::npos);
    EXPECT_EQ(w.st.MasTGarant, (std::vector<double>{2000, 0}));
    EXPECT_EQ(w.st.Sred, 111);
    EXPECT_EQ(w.st.Comment, "комментарий");
    EXPECT_FALSE(w.st.MSmirn.Executed);
}

TEST(WarrantyFile, RemarksAfterNumbersAndBlankLinesAreSkipped) {
    auto w = LoadText("к\n\n  1000 ч\n\t3000\tизделие 2\n\n");
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.st.MasTGarant, (std::vector<double>{1000, 3000}));
}

TEST(WarrantyFile, CaptionOfTheChosenFile) {
    EXPECT_EQ(WarrantyFileCaption("C:\\data\\gar2023.txt"), "C:\\..gar2023.txt");
    EXPECT_EQ(WarrantyFileCaption("/home/user/gar2023.txt"), "/..gar2023.txt");
    EXPECT_EQ(WarrantyFileCaption("gar.txt"), "/..gar.txt");
}
