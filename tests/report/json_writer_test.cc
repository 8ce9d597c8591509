#include "report/json_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>

namespace sessionstats {
namespace {

// What the library writes for `value`, replacing ill-formed UTF-8.
std::string dumped(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

template <typename Write>
std::string written(const Write& write) {
  std::ostringstream out;
  JsonWriter json(out);
  write(json);
  json.flush();
  return out.str();
}

// Every rate the report writes (percent to three decimals), the smallest
// figures of the insights and the integers at the ends of their type, as
// the library writes them.
TEST(JsonWriter, NumbersAsTheLibraryWritesThem) {
  for (int thousandths = 0; thousandths <= 100'000; ++thousandths) {
    const double percent = thousandths / 1000.0;  // as the report rounds
    ASSERT_EQ(written([&](JsonWriter& json) { json.decimal(percent); }),
              dumped(percent));
  }
  // Below a thousandth, as the insights' figures round to ten-thousandths:
  // still no exponent.
  for (int tenThousandths = -9; tenThousandths <= 9; ++tenThousandths) {
    const double value = tenThousandths / 10000.0;
    EXPECT_EQ(written([&](JsonWriter& json) { json.decimal(value); }),
              dumped(value));
  }
  for (const std::int64_t value :
       {std::int64_t{0}, std::int64_t{-1}, std::int64_t{1234567},
        std::numeric_limits<std::int64_t>::min(),
        std::numeric_limits<std::int64_t>::max()}) {
    EXPECT_EQ(written([&](JsonWriter& json) { json.number(value); }),
              dumped(value));
  }
}

// Any bytes, as a name from the log may hold: escapes, control characters,
// well-formed UTF-8 of every length and each kind of ill-formed part.
TEST(JsonWriter, StringsAsTheLibraryWritesThemForAnyBytes) {
  constexpr std::string_view kPieces[] = {"a",
                                          "\"",
                                          "\\",
                                          "\b",
                                          "\f",
                                          "\n",
                                          "\r",
                                          "\t",
                                          "\x01",
                                          "\x1f",
                                          "\x7f",
                                          "/",
                                          "\xc3",
                                          "\xa9",
                                          "\xe2\x82",
                                          "\xe2\x82\xac",
                                          "\xf0\x9f\x98\x80",
                                          "\xed\xa0\x80",
                                          "\xc0\xaf",
                                          "\xf4\x90\x80\x80",
                                          "\xff"};
  std::mt19937 random(7);
  for (int round = 0; round < 20'000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i) {
      text += kPieces[random() % std::size(kPieces)];
    }
    ASSERT_EQ(written([&](JsonWriter& json) { json.string(text); }),
              dumped(text))
        << testing::PrintToString(text);
  }
}

// Strings gathered without a flush past the room the buffer starts with
// (two chunks) make it grow: none is cut or overwritten.
TEST(JsonWriter, LongDocumentGatheredBetweenFlushesIsWrittenWhole) {
  const std::string text(50'000, 'x');
  std::string expected;
  for (int i = 0; i < 4; ++i) expected += dumped(text);
  EXPECT_EQ(written([&](JsonWriter& json) {
              for (int i = 0; i < 4; ++i) json.string(text);
            }),
            expected);
}

}  // namespace
}  // namespace sessionstats
