// The tests run inside the viewer's own application object, with its German texts.
#include <gtest/gtest.h>

#include "application.h"
#include "german.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests at build time needs no display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  quandel::TApplication app(argc, argv);
  quandel::InstallGermanTranslations(app);
  return RUN_ALL_TESTS();
}
