#include "cim/printable.h"

#include <gtest/gtest.h>

#include "cim/exception.h"

namespace cim {
namespace {

TEST(NeutralizeControlsTest, EscapesWhatATerminalCouldObey) {
  const std::pair<std::string, std::string> rows[] = {
      {"plain text: 100%", "plain text: 100%"},
      {"bell\a and escape \x1b[31mred", "bell\\x07 and escape \\x1B[31mred"},
      {"line\r\nbreak\ttab\x7f", "line\\x0D\\x0Abreak\\x09tab\\x7F"},
      {"K\xc3\xb6nig \xe2\x82\xac \xf0\x9f\x98\x80", "K\xc3\xb6nig \xe2\x82\xac \xf0\x9f\x98\x80"},
      {"c1 csi \xc2\x9b"
       "1m",
       "c1 csi \\xC2\\x9B1m"},
      {"nbsp \xc2\xa0", "nbsp \xc2\xa0"},
      {"bare \x9b byte", "bare \\x9B byte"},
      {"latin1 \xe4", "latin1 \\xE4"},
      {"overlong \xc0\xaf", "overlong \\xC0\\xAF"},
      {"surrogate \xed\xa0\x80", "surrogate \\xED\\xA0\\x80"},
      {std::string("nul\0byte", 8), "nul\\x00byte"},
  };
  for (const auto& [input, expected] : rows) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(neutralizeControls(input), expected);
  }
}

TEST(ExceptionTest, MessagesAreNeutralisedAndNameTheCIMStatus) {
  EXPECT_EQ(Exception("bad\x1b[2Jthing").getMessage(), "bad\\x1B[2Jthing");

  const struct {
    int code;
    const char* description;
    const char* message;
  } rows[] = {
      {6, "CIM_ERR_NOT_FOUND: NotAClass", "CIM_ERR_NOT_FOUND: NotAClass"},
      {5, "No such class NVX_Foo", "CIM_ERR_INVALID_CLASS: No such class NVX_Foo"},
      {2, "", "CIM_ERR_ACCESS_DENIED: access denied"},
      {28, "", "CIM_ERR_SERVER_IS_SHUTTING_DOWN: the server is shutting down"},
      {19, "odd", "CIM status 19: odd"},
      {99, "", "CIM status 99"},
      {1, "multi\nline", "CIM_ERR_FAILED: multi\\x0Aline"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    const CIMException e(row.code, row.description);
    EXPECT_EQ(e.getMessage(), row.message);
    EXPECT_STREQ(e.what(), row.message);
    EXPECT_EQ(e.getStatusCode(), row.code);
  }
}

}  // namespace
}  // namespace cim
