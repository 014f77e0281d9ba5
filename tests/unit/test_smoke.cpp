#include <gtest/gtest.h>
#include "app/frmTKR52princ.h"
#include "platform/fake/Fakes.h"
TEST(Smoke, Builds) { fake::FakePlatform p; frmTKR52princ f(p, p.system); f.Form_Load(); EXPECT_TRUE(f.demarre()); }
