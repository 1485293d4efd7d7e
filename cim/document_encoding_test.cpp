#include "cim/document_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace cim {
namespace {

TEST(DocumentEncodingTest, ReadsTheDeclarationOnceItIsComplete) {
  using E = DocumentEncoding;
  const struct {
    std::string start;
    DocumentEncoding expected;
  } rows[] = {
      {"", E::kUndecided},
      {"\xEF\xBB", E::kUndecided},
      {"<?xm", E::kUndecided},
      {"<?xml", E::kUndecided},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"", E::kUndecided},
      {"<CIM CIMVERSION=\"2.0\">", E::kUtf8},
      {"\xEF\xBB\xBF<CIM>", E::kUtf8},
      {"<?xml version=\"1.0\"?><CIM>", E::kUtf8},
      {"<?xml version=\"1.0\" encoding=\"utf-8\" ?>", E::kUtf8},
      {"\xEF\xBB\xBF<?xml version='1.0' encoding = 'UTF-8'?>", E::kUtf8},
      {"<?xml-stylesheet href=\"a.xsl\"?>", E::kUtf8},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", E::kOther},
      {"<?xml\nversion=\"1.0\"\nencoding='us-ascii'?>", E::kOther},
      {"<?xml version=\"1.0\" encoding=UTF-8?>", E::kOther},
      {std::string("<\0?\0x\0", 6), E::kOther},
      {"\xFF\xFE<", E::kOther},
      {"\xFE\xFF", E::kOther},
      {std::string("\0\0\0<", 4), E::kOther},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.start));
    EXPECT_EQ(documentEncoding(row.start), row.expected);
  }
}

}  // namespace
}  // namespace cim
