#include "cim/value.h"

#include <gtest/gtest.h>

#include "cim/exception.h"

namespace cim {
namespace {

using T = CIMDataType;

struct TextRow {
  CIMDataType::Type type;
  const char* text;
  const char* expected;  // nullptr: the text is no value of the type
};

TEST(CIMValueTest, ScalarTextForms) {
  const TextRow rows[] = {
      {T::kString, "  Fritz Town \n", "  Fritz Town \n"},
      {T::kString, "", ""},
      {T::kChar16, " ", " "},
      {T::kBoolean, "TRUE", "true"},
      {T::kBoolean, "\n False \n", "false"},
      {T::kBoolean, "yes", nullptr},
      {T::kUint8, "255", "255"},
      {T::kUint8, "256", "256"},
      {T::kUint8, "-1", "-1"},
      {T::kUint16, " 0x1F ", "31"},
      {T::kUint16, "+7", "7"},
      {T::kUint16, "007", "7"},
      {T::kSint8, "-128", "-128"},
      {T::kSint8, "-129", "-129"},
      {T::kSint16, "-0", "0"},
      {T::kSint32, "12abc", nullptr},
      {T::kSint32, "+-1", nullptr},
      {T::kUint64, "18446744073709551615", "18446744073709551615"},
      {T::kUint64, "18446744073709551616", "18446744073709551616"},
      {T::kSint64, "-9223372036854775808", "-9223372036854775808"},
      {T::kSint64, "9223372036854775808", "9223372036854775808"},
      {T::kSint32, "-007", "-7"},
      {T::kUint16, "00", "0"},
      {T::kUint32, "0x1FFFFFFFFFFFFFFFF", nullptr},
      {T::kUint8, "0x", nullptr},
      {T::kUint8, "-", nullptr},
      {T::kUint8, "1 2", nullptr},
      {T::kUint32, "1.5", nullptr},
      {T::kReal32, "-32.1", "-32.1"},
      {T::kReal32, "1.1234567e+00", "1.1234567"},
      {T::kReal32, "1e39", "1e+39"},
      {T::kReal64, "64.125", "64.125"},
      {T::kReal64, "1.1234567890654321e+00", "1.1234567890654321"},
      {T::kReal64, "+0.1", "0.1"},
      {T::kReal64, "1e300", "1e+300"},
      {T::kReal64, "INF", "INF"},
      {T::kReal64, "-INF", "-INF"},
      {T::kReal64, "NaN", "NaN"},
      {T::kReal64, "one", nullptr},
      {T::kDatetime, "\n20160318201500.123456-060\n", "20160318201500.123456-060"},
      {T::kDatetime, "00000133102418.******:000", "00000133102418.******:000"},
      {T::kReference, "/root/cimv2:CIM_Foo.Key=\"v\"", "/root/cimv2:CIM_Foo.Key=\"v\""},
  };
  for (const TextRow& row : rows) {
    SCOPED_TRACE(std::string(T(row.type, false).toString()) + " '" + row.text + "'");
    if (row.expected == nullptr) {
      EXPECT_THROW(CIMValue::fromText(row.type, row.text), ValueCastException);
      continue;
    }
    const CIMValue value = CIMValue::fromText(row.type, row.text);
    EXPECT_FALSE(value.isNull());
    EXPECT_EQ(value.toString(), row.expected);
    EXPECT_EQ(value.getType(), T(row.type, false));
  }
}

TEST(CIMValueTest, EmptyNumbersBooleansAndDatetimesAreNull) {
  for (T::Type type : {T::kUint16, T::kBoolean, T::kReal32, T::kDatetime}) {
    const CIMValue value = CIMValue::fromText(type, " \n ");
    EXPECT_TRUE(value.isNull());
    EXPECT_EQ(value.toString(), "(null)");
    EXPECT_EQ(value.getType(), T(type, false));
  }
  EXPECT_EQ(CIMValue().toString(), "(null)");
  EXPECT_TRUE(CIMValue().getType().isNull());
  EXPECT_EQ(CIMValue::makeNull(T(T::kString, true)).toString(), "(null)");
}

TEST(CIMValueTest, ArraysJoinWithCommaAndShowNullElements) {
  const CIMValue numbers = CIMValue::fromTextArray(T::kUint16, {" 2", "0x3", "", "5"});
  EXPECT_EQ(numbers.toString(), "2,3,(null),5");
  EXPECT_TRUE(numbers.isNullElement(2));
  EXPECT_FALSE(numbers.isNullElement(3));
  EXPECT_THROW(numbers.isNullElement(4), OutOfBoundsException);
  EXPECT_EQ(numbers.getType().toString(), "uint16");
  EXPECT_TRUE(numbers.getType().isArray());

  const CIMValue strings = CIMValue::fromTextArray(T::kString, {"OK", "ignored", "", " x "}, {1});
  EXPECT_EQ(strings.toString(), "OK,(null),, x ");
  EXPECT_EQ(strings.getStringArray(), (std::vector<std::string>{"OK", "", "", " x "}));

  EXPECT_EQ(CIMValue::fromTextArray(T::kBoolean, {"TRUE", "false"}).toString(), "true,false");
  EXPECT_EQ(CIMValue::fromTextArray(T::kString, {}).toString(), "");
  EXPECT_THROW(CIMValue::fromTextArray(T::kSint8, {"1", "3x"}), ValueCastException);
}

TEST(CIMValueTest, StringArrayAccessChecksNullAndType) {
  EXPECT_THROW(CIMValue::makeNull(T(T::kString, true)).getStringArray(), NullValueException);
  EXPECT_THROW(CIMValue::fromText(T::kString, "a").getStringArray(), ValueCastException);
  EXPECT_THROW(CIMValue::fromTextArray(T::kSint32, {"1"}).getStringArray(), ValueCastException);
  EXPECT_THROW(CIMValue::fromText(T::kString, "a").getArraySize(), ValueCastException);
  EXPECT_EQ(CIMValue::fromTextArray(T::kString, {"a", "b"}).getArraySize(), 2u);
}

TEST(CIMDataTypeTest, NamesOfAllTypes) {
  const std::pair<T::Type, const char*> rows[] = {
      {T::kNull, "null"},     {T::kUint8, "uint8"},     {T::kSint8, "sint8"},
      {T::kUint16, "uint16"}, {T::kSint16, "sint16"},   {T::kUint32, "uint32"},
      {T::kSint32, "sint32"}, {T::kUint64, "uint64"},   {T::kSint64, "sint64"},
      {T::kReal32, "real32"}, {T::kReal64, "real64"},   {T::kChar16, "char16"},
      {T::kString, "string"}, {T::kBoolean, "boolean"}, {T::kDatetime, "datetime"},
      {T::kReference, "REF"},
  };
  for (const auto& [type, name] : rows) {
    EXPECT_EQ(T(type, false).toString(), name);
    EXPECT_EQ(T(type, true).toString(), name);
  }
}

}  // namespace
}  // namespace cim
