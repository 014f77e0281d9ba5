// SPDX-License-Identifier: GPL-3.0-or-later
// Angle texts, target encoding and the reading of the entry fields.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "window/app/frmTKR52princ.h"
#include "platform/fake/Fakes.h"
#include "protocol/codec.h"

namespace {

using F = frmTKR52princ;
constexpr float inff = std::numeric_limits<float>::infinity();
constexpr float nanf = std::numeric_limits<float>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(CoordAngleTexts, Hours)
{
    const struct {
        float angle;
        const char* text;
    } cases[] = {
        {0.0f, " 0h 0m 0s"},          {0.2617994f, " 1h 0m 0s"},  {3.1415927f, " 12h 0m 0s"},
        {1.5707964f, " 6h 0m 0s"},    {6.2831144f, " 23h 59m 59s"},
        {0.1f, " 0h 22m 55s"},        // 55.08 s truncated
        {-3.1415927f, " 12h 0m 0s"},  // magnitudes only
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::Transhms(c.angle), c.text) << c.angle;
}

TEST(CoordAngleTexts, Degrees)
{
    const struct {
        float angle;
        const char* text;
    } cases[] = {
        {0.0f, " 0\u00B0 0' 0\""},
        {0.7853982f, " 45\u00B0 0' 0\""},
        {-0.7853982f, "-45\u00B0 0' 0\""},
        {0.7853964f, " 45\u00B0 0' 0\""}, // 44° 59' 59.63" carried twice
        {-0.2917492f, "-16\u00B0 42' 58\""},
        {-0.0087245f, "-0\u00B0 30' 0\""}, // sign kept with 0 degrees
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::TransDegMinSec(c.angle), c.text) << c.angle;
}

TEST(CoordAngleTexts, NonFiniteAndHugeGiveSomeText)
{
    for (float a : {nanf, -nanf, inff, -inff, std::numeric_limits<float>::max(), -1e30f, 1e10f}) {
        EXPECT_FALSE(F::Transhms(a).empty());
        EXPECT_FALSE(F::TransDegMinSec(a).empty());
    }
    // Whole digits, no exponent.
    EXPECT_EQ(F::Transhms(1e10f), " 38197186560h 0m 0s");
    EXPECT_EQ(F::TransDegMinSec(-1e10f), "-572957786112\u00B0 0' 0\"");
}

TEST(CoordEncoding, RightAscension)
{
    EXPECT_EQ(F::zero(0) + F::zero(-4) + F::zero(3), "000");
    const struct {
        double angle;
        const char* text;
    } cases[] = {
        {0.0, "+000,-32768"},            {-0.0, "+000,-32768"},           {15.0, "+000,+15232"},
        {180.0, "+008,+18944"},          {32768 / 3200.0, "+000,+00000"}, {65535 / 3200.0, "+000,+32767"},
        {65536 / 3200.0, "+001,-32768"}, {-0.001, "-001,+32765"},         {360.0, "+000,-32768"}, // a full turn is the origin
        {23.99999 * 15, "+000,-32768"},
        {20480.0, "+1000,-32768"},       {-20480.0, "-1000,-32768"},
        {((23 + 59 / 60.0) + 59 / 3600.0) / 24 * 360, "+017,+05107"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::get_ADH_ADL(c.angle), c.text) << c.angle;
}

TEST(CoordEncoding, Declination)
{
    const struct {
        float angle;
        const char* text;
    } cases[] = {
        {0.0f, "+000,+00000"},  {45.0f, "+002,-11072"},        {-45.0f, "-002,+11072"},
        {90.0f, "+004,-22144"}, {-16.716111f, "-001,+20960"},  {32767 * 3 / 8000.0f, "+000,+32767"},
        {32768 * 3 / 8000.0f, "+001,-32768"},
        {-32768 * 3 / 8000.0f, "-001,+32768"}, // low field reaches +32768
        {-0.499875f, "+000,-01333"},           // zero high field keeps "+"
        {57.614445f, "+002,+22566"},           // single precision: 153638, not 153639
    };
    for (auto c : cases)
        EXPECT_EQ(F::get_DECH_DECL(c.angle), c.text) << c.angle;
    EXPECT_EQ(protocol::compteCibleDEC(57.614445f), 153638);
}

TEST(CoordLeadingNumber, Rule)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"", 0},         {"abc", 0},       {"12", 12},       {" 1 2 ", 12},   {"\t-3\n", -3},
        {"34m56", 34},   {"12,5", 12},     {"12.5", 12.5},   {".5", 0.5},     {"1.", 1},
        {"+7", 7},       {"-", 0},         {".", 0},         {"-.25", -0.25}, {"1e3", 1000},
        {"1E+2x", 100},  {"2.5e-1", 0.25}, {"3e", 3},        {"3e+", 3},      {"4ex", 4},
        {"- 1 . 5", -1.5}, {"1e-400", 0},  {"0.000e999", 0}, {"007", 7},      {"1.5.6", 1.5},
        {"\r5", 0}, // only blanks, tabs and line feeds are skipped
    };
    for (const auto& c : cases)
        EXPECT_EQ(F::nombreEnTête(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(F::nombreEnTête("1e400"), inf);
    EXPECT_EQ(F::nombreEnTête("-1e99999999999999999999999"), -inf);
    EXPECT_EQ(F::nombreEnTête(std::string(500, '9')), inf);
    EXPECT_EQ(F::nombreEnTête("0." + std::string(500, '0') + "1e500"), 0.1);
}

TEST(CoordLeadingNumber, Seconds)
{
    EXPECT_EQ(F::secondesEnTête("29.5"), 30);
    EXPECT_EQ(F::secondesEnTête("28.5"), 28);
    EXPECT_EQ(F::secondesEnTête("-32768"), -32768);
    EXPECT_EQ(F::secondesEnTête("32767.4"), 32767);
    EXPECT_FALSE(F::secondesEnTête("32767.5"));
    EXPECT_FALSE(F::secondesEnTête("40000"));
    EXPECT_FALSE(F::secondesEnTête("1e999"));
}

class CoordEntryFields : public ::testing::Test {
protected:
    fake::FakePlatform p;
    frmTKR52princ f{p, p.system};

    void ad(const char* h, const char* m, const char* s)
    {
        p.text("EdtADréfHrs").content = h;
        p.text("EdtADréfMin").content = m;
        p.text("EdtADréfSec").content = s;
    }
    void dec(const char* d, const char* m, const char* s)
    {
        p.text("EdtDECréfDeg").content = d;
        p.text("EdtDECréfMin").content = m;
        p.text("EdtDECréfSec").content = s;
    }
};

TEST_F(CoordEntryFields, RightAscension)
{
    const struct {
        const char *h, *m, *s;
        double value;
    } cases[] = {
        {"12", "30", "45", 187.6875}, {"6", "0.5", "0", 90.125}, {"0", "2.5", "0.4", 0.625},
        {"25", "00", "00", 375},      {"", "", "", 0},
        {"23", "59", "59", ((23 + 59 / 60.0) + 59 / 3600.0) / 24 * 360},
        {"2", "30.5", "29.5", ((2 + 30.5 / 60) + 30 / 3600.0) / 24 * 360},
    };
    for (const auto& c : cases) {
        ad(c.h, c.m, c.s);
        EXPECT_TRUE(f.set_objectAD());
        EXPECT_EQ(f.objectAD, c.value) << c.h << ' ' << c.m << ' ' << c.s;
    }
}

TEST_F(CoordEntryFields, Declination)
{
    const struct {
        const char *d, *m, *s;
        float value;
    } cases[] = {
        {"+45", "30", "15", 45.50416564941406f}, {"-12", "15", "00", -12.25f}, {"-5", "30", "0", -5.5f},
        // The sign is the typed one, also for zero degrees.
        {"-00", "30", "0", -0.5f}, {" - 0", "30", "0", -0.5f}, {"+000", "30", "0", 0.5f},
        {"+00", "30", "0", 0.5f},  {"00", "30", "0", 0.5f},    {"0", "30", "0", 0.5f},
        {"", "", "", 0.0f},        {"1e300", "0", "0", inff},
    };
    for (const auto& c : cases) {
        dec(c.d, c.m, c.s);
        EXPECT_TRUE(f.set_objectDEC());
        EXPECT_EQ(f.objectDEC, c.value) << c.d << ' ' << c.m << ' ' << c.s;
    }
}

TEST_F(CoordEntryFields, SecondsBeyond16BitsChangeNothing)
{
    ad("12", "0", "0");
    dec("+45", "0", "0");
    ASSERT_TRUE(f.set_objectAD());
    ASSERT_TRUE(f.set_objectDEC());
    ad("1", "2", "40000");
    dec("-10", "2", "-40000");
    EXPECT_FALSE(f.set_objectAD());
    EXPECT_FALSE(f.set_objectDEC());
    EXPECT_EQ(f.objectAD, 180.0);
    EXPECT_EQ(f.objectDEC, 45.0f);
}

} // namespace
