#include "cim/request_writer.h"

#include <gtest/gtest.h>

namespace cim {
namespace {

TEST(RequestWriterTest, WritesTheCallWithItsFlagsInOrder) {
  const std::vector<std::string> properties = {"Name", "A<B"};
  IMethodCall call;
  call.method = "EnumerateInstances";
  call.nameSpace = "/root//quorvin/";
  call.className = "NVX_\"Fan\"";
  call.flags = {{"LocalOnly", false}, {"DeepInheritance", true}};
  call.propertyList = &properties;
  EXPECT_EQ(
      writeIMethodCall(call, 42),
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
      "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"42\" PROTOCOLVERSION=\"1.0\">"
      "<SIMPLEREQ><IMETHODCALL NAME=\"EnumerateInstances\"><LOCALNAMESPACEPATH>"
      "<NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"quorvin\"/></LOCALNAMESPACEPATH>"
      "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"NVX_&quot;Fan&quot;\"/></IPARAMVALUE>"
      "<IPARAMVALUE NAME=\"LocalOnly\"><VALUE>FALSE</VALUE></IPARAMVALUE>"
      "<IPARAMVALUE NAME=\"DeepInheritance\"><VALUE>TRUE</VALUE></IPARAMVALUE>"
      "<IPARAMVALUE NAME=\"PropertyList\"><VALUE.ARRAY><VALUE>Name</VALUE>"
      "<VALUE>A&lt;B</VALUE></VALUE.ARRAY></IPARAMVALUE>"
      "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>\n");
}

TEST(RequestWriterTest, HeaderValuesArePercentEncoded) {
  EXPECT_EQ(encodeHeaderValue("root/quorvin"), "root%2Fquorvin");
  EXPECT_EQ(encodeHeaderValue("a b:\r\n\xc3\xa9~_.-Z9"), "a%20b%3A%0D%0A%C3%A9~_.-Z9");
  EXPECT_TRUE(namespaceParts("//").empty());
}

}  // namespace
}  // namespace cim
