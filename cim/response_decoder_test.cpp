#include "cim/response_decoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "cim/exception.h"

namespace cim {
namespace {

std::string readFixture(const std::string& name) {
  std::ifstream in(std::string(CIM_TESTDATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What one decoding produced, in a form the table rows can probe.
struct Decoded {
  std::vector<CIMClass> classes;
  std::vector<CIMInstance> instances;
  bool hasError = false;
  int errorCode = 0;
  std::string errorDescription;
};

// Feeds body in pieces of pieceSize bytes, as the network would hand it over;
// charset as the Content-Type header names it.
Decoded decode(const std::string& body, const std::string& method, ResponseDecoder::ResultKind kind,
               std::size_t pieceSize, const std::string& charset = "") {
  ResponseDecoder decoder(method, kind);
  decoder.setEncoding(charset);
  for (std::size_t at = 0; at < body.size(); at += pieceSize) {
    if (!decoder.feed(body.data() + at, std::min(pieceSize, body.size() - at))) break;
  }
  if (!decoder.failed()) decoder.finish();
  decoder.rethrowFailure();
  Decoded result;
  result.classes = decoder.takeClasses();
  result.instances = decoder.takeInstances();
  result.hasError = decoder.hasError();
  result.errorCode = decoder.errorCode();
  result.errorDescription = decoder.errorDescription();
  return result;
}

std::string joinNames(const std::vector<CIMProperty>& properties) {
  std::string out;
  for (const CIMProperty& p : properties) out += (out.empty() ? "" : ",") + p.getName();
  return out;
}

std::string typeText(const CIMDataType& type) {
  return type.toString() + (type.isArray() ? "[]" : "");
}

// Probes, with N the index of the class or instance:
//   "#"          number of classes or instances
//   "N"          class name (":" superclass) or instance class name
//   "N.*"        property names in order
//   "N.P"        text of property P's value, "N.P:type" its type
//   "N.P#*"      qualifier names of property P in order, "N.P#Q" the text of one
//   "N#Q"        text of class qualifier Q
std::string probe(const Decoded& d, const std::string& key) {
  const bool ofClasses = !d.classes.empty();
  if (key == "#") return std::to_string(ofClasses ? d.classes.size() : d.instances.size());
  std::size_t index = std::stoul(key);
  const std::size_t afterIndex = key.find_first_not_of("0123456789");
  const std::string rest = afterIndex == std::string::npos ? "=" : key.substr(afterIndex);
  const std::vector<CIMProperty>& properties =
      ofClasses ? d.classes.at(index).getProperties() : d.instances.at(index).getProperties();
  if (rest == "=") {
    return ofClasses ? d.classes[index].getName() + ":" + d.classes[index].getSuperClassName()
                     : d.instances[index].getClassName();
  }
  if (rest[0] == '#') {
    const CIMQualifier* q = d.classes.at(index).getQualifier(rest.substr(1));
    return q ? q->getValue().toString() : "<none>";
  }
  if (rest == ".*") return joinNames(properties);
  std::string name = rest.substr(1);
  std::string qualifier, suffix;
  if (std::size_t hash = name.find('#'); hash != std::string::npos) {
    qualifier = name.substr(hash + 1);
    name.resize(hash);
  } else if (std::size_t colon = name.find(':'); colon != std::string::npos) {
    suffix = name.substr(colon + 1);
    name.resize(colon);
  }
  const CIMProperty* property =
      ofClasses ? d.classes[index].getProperty(name) : d.instances[index].getProperty(name);
  if (property == nullptr) return "<no property>";
  if (qualifier == "*") {
    std::string out;
    for (const CIMQualifier& q : property->getQualifiers()) {
      out += (out.empty() ? "" : ",") + q.getName();
    }
    return out;
  }
  if (!qualifier.empty()) {
    const CIMQualifier* q = property->getQualifier(qualifier);
    return q ? q->getValue().toString() + " " + typeText(q->getDataType()) : "<none>";
  }
  if (suffix == "type") return typeText(property->getDataType());
  return property->getValue().toString();
}

struct FixtureRow {
  const char* file;
  const char* method;
  ResponseDecoder::ResultKind kind;
  std::vector<std::pair<std::string, std::string>> probes;
};

const std::string kEmbeddedInstance =
    "<INSTANCE  CLASSNAME=\"TestCMPI_Instance\" >\n<PROPERTY NAME=\"ElementName\"  "
    "TYPE=\"string\">\n</PROPERTY>\n</INSTANCE>\n";

TEST(ResponseDecoderTest, DecodesRecordedResponses) {
  const FixtureRow rows[] = {
      {"pywbem_GetClass1_rsp.xml",
       "GetClass",
       ResponseDecoder::kOneClass,
       {{"#", "1"},
        {"0", "CIM_ComputerSystem:CIM_System"},
        {"0#Version", "2.36.0"},
        {"0.*", "PowerManagementCapabilities"},
        {"0.PowerManagementCapabilities:type", "uint16[]"},
        {"0.PowerManagementCapabilities", "(null)"},
        {"0.PowerManagementCapabilities#*",
         "Deprecated,Description,ValueMap,Values,MappingStrings"},
        {"0.PowerManagementCapabilities#VALUEMAP", "0,1,2,3,4,5,6,7 string[]"},
        {"0.PowerManagementCapabilities#Values",
         "Unknown,Not Supported,Disabled,Enabled,Power Saving Modes Entered Automatically,"
         "Power State Settable,Power Cycling Supported,Timed Power On Supported string[]"}}},
      {"pegasus_GetClass00014_rsp.xml",
       "GetClass",
       ResponseDecoder::kOneClass,
       {{"0", "CIM_InstalledProductImage:"},
        {"0#Association", "true"},
        {"0.*", "Product,Collection"},
        {"0.Product:type", "REF"},
        {"0.Product", "(null)"},
        {"0.Product#*", "Min,Max,Aggregate,Description"},
        {"0.Product#Max", "1 uint32"},
        {"0.Collection#Weak", "true boolean"}}},
      {"sblim_SVCGetClass_nonstandard_rsp.xml",
       "GetClass",
       ResponseDecoder::kOneClass,
       {{"0#StringQuali", "Hello world!"},
        {"0#IntAQuali", "12,24"},
        {"0.IntProp:type", "sint32"},
        {"0.IntProp", "38"},
        {"0.BoolPropArray:type", "boolean[]"},
        {"0.BoolPropArray", "true,false"}}},
      {"sblim_EmbObjGetClass_rsp.xml",
       "GetClass",
       ResponseDecoder::kOneClass,
       {{"0.EmbInstWithQualiAndValue", kEmbeddedInstance},
        {"0.EmbInstWithQualiAndValue#EmbeddedInstance", "TestCMPI_Instance string"},
        {"0.EmbObjWithQuali#EmbeddedObject", "true boolean"},
        {"0.EmbObjWithQuali", "(null)"}}},
      {"pywbem_EnumerateInstances1_rsp.xml",
       "EnumerateInstances",
       ResponseDecoder::kInstances,
       {{"#", "3"},
        {"0", "PyWBEM_Person"},
        {"0.*", "CreationClassName,Name,Address"},
        {"0.Address", "Fritz Town"}}},
      {"pywbem_GetAllTypes1_rsp.xml",
       "GetInstance",
       ResponseDecoder::kInstances,
       {{"#", "1"},
        {"0.PChar16", "F"},
        {"0.PUint8", "8"},
        {"0.PUint64:type", "uint64"},
        {"0.PSint8", "-8"},
        {"0.PSint64", "-64"},
        {"0.PReal32", "-32.1"},
        {"0.PReal32:type", "real32"},
        {"0.PReal64", "64.125"},
        {"0.PDatetime1", "20160318201500.123456-060"},
        {"0.PDatetime2", "00001234567890.123456:000"},
        {"0.pRef1:type", "REF"},
        {"0.pRef1", "PyWBEM_End1.ID=\"1\""},
        {"0.pRef2", "PyWBEM_End2.ID=\"2\""},
        {"0.pEmbeddedInst:type", "string"}}},
      {"sblim_EmbObjGetInstance_rsp.xml",
       "GetInstance",
       ResponseDecoder::kInstances,
       {{"0.InstValueWithInstAttr",
         "<INSTANCE  CLASSNAME=\"TestCMPI_Instance\" >\n<PROPERTY NAME=\"ElementName\"  "
         "TYPE=\"string\">\n</PROPERTY>\n</INSTANCE>\n"},
        {"0.InstValueArrayWithInstAttr", kEmbeddedInstance + "," + kEmbeddedInstance + ","},
        {"0.UnValuedWithObjAttr", "(null)"},
        {"0.NormalStringProperty", "Good morning!"}}},
      {"sblim_NestedEmbInst_rsp.xml",
       "EnumerateInstances",
       ResponseDecoder::kInstances,
       {{"#", "1"},
        {"0", "LMI_StorageInstModification"},
        {"0.SourceInstanceHost", "rawhide"},
        {"0.SourceInstanceModelPath",
         "//rawhide/root/cimv2:LMI_StorageJob.InstanceID=\"LMI:LMI_StorageJob:1\""}}},
      {"pywbem_EmbeddedInstanceCDATA1_rsp.xml",
       "GetInstance",
       ResponseDecoder::kInstances,
       {{"0.Address:type", "string"}}},
      {"sfcb_InstanceTest2Get_rsp.xml",
       "GetInstance",
       ResponseDecoder::kInstances,
       {{"0", "TEST_Person"}, {"0.*", "extraProperty,name"}, {"0.name", "Michael"}}},
      {"enumerate_instances_nulls_references_rsp.xml",
       "EnumerateInstances",
       ResponseDecoder::kInstances,
       {{"#", "2"},
        {"0", "NVX_Fan"},
        {"0.*",
         "DeviceID,OperationalStatus,StatusDescriptions,EmptyList,NullList,ElementName,Caption,"
         "Untyped,NoTypeNoValue,Enabled,Speed,System,Owner,Nothing"},
        {"0.OperationalStatus", "2,(null),10"},
        {"0.StatusDescriptions", "(null), spaced ,"},
        {"0.EmptyList", ""},
        {"0.EmptyList:type", "string[]"},
        {"0.NullList", "(null)"},
        {"0.NullList:type", "sint32[]"},
        {"0.ElementName", "(null)"},
        {"0.Caption", ""},
        {"0.Untyped:type", "string"},
        {"0.NoTypeNoValue:type", "null"},
        {"0.Enabled", "true"},
        {"0.Speed", "2500"},
        {"0.System",
         "//srv.example.com:5989/root/quorvin:NVX_ComputerSystem.Name=\"rack \\\"A\\\" \\\\ 1\","
         "Slot=4,Primary=TRUE"},
        {"0.Owner", "/root/quorvin:NVX_Link.Target=\"NVX_Port.Id=\\\"p\\\\\\\"1\\\"\""},
        {"0.Nothing", "(null)"},
        {"0.Nothing:type", "REF"},
        {"1", "NVX_ChassisFan"},
        {"1.OperationalStatus", "2"}}},
  };
  for (const FixtureRow& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string body = readFixture(row.file);
    // Whole, in network-sized pieces and byte by byte: the result must not
    // depend on where the body was cut.
    for (std::size_t pieceSize : {body.size(), std::size_t{1400}, std::size_t{1}}) {
      SCOPED_TRACE("pieces of " + std::to_string(pieceSize));
      const Decoded decoded = decode(body, row.method, row.kind, pieceSize);
      EXPECT_FALSE(decoded.hasError);
      for (const auto& [key, expected] : row.probes) {
        EXPECT_EQ(probe(decoded, key), expected) << "probe " << key;
      }
    }
  }
}

TEST(ResponseDecoderTest, ReadsErrorElements) {
  const struct {
    const char* file;
    const char* method;
    int code;
    const char* description;
  } rows[] = {
      {"pegasus_GetClass00017_rsp_err6.xml", "GetClass", 6, "CIM_ERR_NOT_FOUND: NotAClass"},
      {"pegasus_GetClass00016_rsp_err3.xml", "GetClass", 3, nullptr},
      {"sfcb_ErrorTest06_rsp_err6.xml", "GetClass", 6, nullptr},
      {"pegasus_EnumerateInstances51003_rsp_err5.xml", "EnumerateInstances", 5, nullptr},
      {"pywbem_EnumerateInstancesF1_rsp.xml", "EnumerateInstances", 2,
       "CIM_ERR_ACCESS_DENIED: Invalid userid or password."},
      {"sblim_ERROR_with_CIM_Error_instances_rsp.xml", "EnumerateInstances", 2, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const bool ofClass = std::string(row.method) == "GetClass";
    const Decoded decoded =
        decode(readFixture(row.file), row.method,
               ofClass ? ResponseDecoder::kOneClass : ResponseDecoder::kInstances, 64);
    EXPECT_TRUE(decoded.hasError);
    EXPECT_EQ(decoded.errorCode, row.code);
    if (row.description != nullptr) {
      EXPECT_EQ(decoded.errorDescription, row.description);
    }
    EXPECT_TRUE(decoded.classes.empty());
    EXPECT_TRUE(decoded.instances.empty());
  }
}

const char kHead[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
    "<MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>";
const char kTail[] = "</SIMPLERSP></MESSAGE></CIM>";

std::string enumerateBody(const std::string& inner) {
  return kHead + std::string("<IMETHODRESPONSE NAME=\"EnumerateInstances\">") + inner +
         "</IMETHODRESPONSE>" + kTail;
}

std::string instanceBody(const std::string& properties) {
  return enumerateBody("<IRETURNVALUE><INSTANCE CLASSNAME=\"C\">" + properties +
                       "</INSTANCE></IRETURNVALUE>");
}

TEST(ResponseDecoderTest, EmptyEnumerationsInEveryForm) {
  for (const std::string inner : {"", "<IRETURNVALUE/>", "<IRETURNVALUE>\n</IRETURNVALUE>"}) {
    SCOPED_TRACE(inner);
    const Decoded decoded =
        decode(enumerateBody(inner), "EnumerateInstances", ResponseDecoder::kInstances, 7);
    EXPECT_FALSE(decoded.hasError);
    EXPECT_TRUE(decoded.instances.empty());
  }
}

// With a handler, each instance goes to it as its element ends, in order, and
// none is kept; what the handler throws is the decoder's failure and stops it.
TEST(ResponseDecoderTest, InstanceHandlerTakesEachInstanceAsItEnds) {
  const std::string body = enumerateBody(
      "<IRETURNVALUE>"
      "<INSTANCE CLASSNAME=\"A\"><PROPERTY NAME=\"P\" TYPE=\"uint8\"><VALUE>1</VALUE>"
      "</PROPERTY></INSTANCE>"
      "<VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"B\"/><INSTANCE CLASSNAME=\"B\"/>"
      "</VALUE.NAMEDINSTANCE>"
      "<INSTANCE CLASSNAME=\"C\"/></IRETURNVALUE>");
  for (int throwAt : {-1, 0, 1}) {
    SCOPED_TRACE(throwAt);
    ResponseDecoder decoder("EnumerateInstances", ResponseDecoder::kInstances);
    std::vector<std::string> seen;
    decoder.setInstanceHandler([&](const CIMInstance& instance) {
      if (static_cast<int>(seen.size()) == throwAt)
        throw Exception("stop at " + std::to_string(throwAt));
      seen.push_back(instance.getClassName() + ":" + joinNames(instance.getProperties()));
    });
    for (std::size_t at = 0; at < body.size(); at += 5) {
      if (!decoder.feed(body.data() + at, std::min<std::size_t>(5, body.size() - at))) break;
    }
    if (throwAt < 0) {
      EXPECT_TRUE(decoder.finish());
      EXPECT_EQ(seen, (std::vector<std::string>{"A:P", "B:", "C:"}));
      EXPECT_TRUE(decoder.takeInstances().empty());
    } else {
      EXPECT_TRUE(decoder.failed());
      EXPECT_EQ(seen.size(), static_cast<std::size_t>(throwAt));
      try {
        decoder.rethrowFailure();
        ADD_FAILURE() << "no failure kept";
      } catch (const Exception& failure) {
        EXPECT_EQ(failure.getMessage(), "stop at " + std::to_string(throwAt));
      }
    }
  }
}

TEST(ResponseDecoderTest, RejectsMalformedResponsesWithTheirPlace) {
  const std::string getClassHead = kHead + std::string("<IMETHODRESPONSE NAME=\"GetClass\">");
  const std::string oneClass =
      "<IRETURNVALUE><CLASS NAME=\"A\"><PROPERTY NAME=\"P\" TYPE=\"uint8\"/></CLASS>";
  const std::string validEnumeration = instanceBody("<PROPERTY NAME=\"P\" TYPE=\"uint8\"/>");
  const struct {
    std::string body;
    const char* method;
    std::string message;
  } rows[] = {
      {readFixture("pywbem_InvalidResponse2_rsp.xml"), "GetInstance",
       "response is not valid CIM-XML: line 14, column 11: mismatched tag"},
      {"", "EnumerateInstances", "response is not valid CIM-XML: the response body is empty"},
      {validEnumeration.substr(0, validEnumeration.size() / 2), "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 127: unclosed token"},
      {"<HTML><BODY>Server error</BODY></HTML>", "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 1: unexpected element <HTML> in <document>"},
      {enumerateBody(""), "GetClass",
       "response is not valid CIM-XML: line 1, column 127: "
       "the response answers EnumerateInstances instead of GetClass"},
      {kHead + std::string("<METHODRESPONSE NAME=\"X\"/>") + kTail, "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 127: "
       "unexpected element <METHODRESPONSE> in <SIMPLERSP>"},
      {getClassHead + "</IMETHODRESPONSE>" + kTail, "GetClass",
       "response is not valid CIM-XML: the GetClass response holds no class"},
      {"<CIM><MESSAGE><SIMPLERSP/></MESSAGE></CIM>", "GetClass",
       "response is not valid CIM-XML: the response holds no IMETHODRESPONSE"},
      {getClassHead + oneClass + "<CLASS NAME=\"B\"/></IRETURNVALUE></IMETHODRESPONSE>" + kTail,
       "GetClass",
       "response is not valid CIM-XML: line 1, column 231: "
       "the GetClass response holds more than one class"},
      {getClassHead + "<IRETURNVALUE><INSTANCE CLASSNAME=\"A\"/></IRETURNVALUE></IMETHODRESPONSE>" +
           kTail,
       "GetClass",
       "response is not valid CIM-XML: line 1, column 174: "
       "unexpected element <INSTANCE> in <IRETURNVALUE>"},
      {instanceBody("<PROPERTY NAME=\"P\" TYPE=\"uint8\"><VALUE>3x0</VALUE></PROPERTY>"),
       "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 250: "
       "'3x0' is not a valid uint8 value (property P)"},
      {instanceBody("<PROPERTY NAME=\"P\" TYPE=\"uint128\"/>"), "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 208: unknown CIM data type 'uint128'"},
      {instanceBody("<PROPERTY TYPE=\"string\"/>"), "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 208: <PROPERTY> has no NAME attribute"},
      {instanceBody("<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE>a</VALUE><VALUE>b</VALUE>"
                    "</PROPERTY>"),
       "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 257: <PROPERTY> has more than one value"},
      {instanceBody("<PROPERTY NAME=\"P\" TYPE=\"string\"><BOGUS/></PROPERTY>"),
       "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 241: unexpected element <BOGUS> in "
       "<PROPERTY>"},
      {instanceBody("<PROPERTY.ARRAY NAME=\"P\" TYPE=\"string\"><VALUE>a</VALUE></PROPERTY.ARRAY>"),
       "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 247: "
       "unexpected element <VALUE> in <PROPERTY.ARRAY>"},
      {instanceBody("stray text"), "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 208: unexpected text in <INSTANCE>"},
      {enumerateBody("<IRETURNVALUE><VALUE.NAMEDINSTANCE><INSTANCENAME CLASSNAME=\"C\"/>"
                     "</VALUE.NAMEDINSTANCE></IRETURNVALUE>"),
       "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 234: "
       "<VALUE.NAMEDINSTANCE> holds no <INSTANCE>"},
      {enumerateBody("<ERROR CODE=\"six\"/>"), "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 170: 'six' is not a CIM status code"},
      {"<?xml version=\"1.0\"?><!DOCTYPE CIM [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;\">]>"
       "<CIM>&b;</CIM>",
       "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 48: entity declarations are not accepted"},
      // Repair makes bytes valid, not markup: a control character inside a tag
      // stays an error.
      {instanceBody("<PROPERTY\x01NAME=\"P\" TYPE=\"string\"/>"), "EnumerateInstances",
       "response is not valid CIM-XML: line 1, column 217: not well-formed (invalid token)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.body.substr(0, 300));
    for (std::size_t pieceSize : {std::max<std::size_t>(row.body.size(), 1), std::size_t{1}}) {
      try {
        decode(row.body, row.method,
               std::string(row.method) == "GetClass" ? ResponseDecoder::kOneClass
                                                     : ResponseDecoder::kInstances,
               pieceSize);
        ADD_FAILURE() << "accepted";
      } catch (const Exception& e) {
        EXPECT_EQ(e.getMessage(), row.message);
      }
    }
  }
}

TEST(ResponseDecoderTest, BadBytesOfAUtf8BodyCostTheirValueOnly) {
  const std::string R = "\xEF\xBF\xBD";  // U+FFFD
  const std::string latin1Head =
      std::string(kHead).replace(std::string(kHead).find("utf-8"), 5, "ISO-8859-1");
  const std::string value =
      "<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE>K\xe4se\x01</VALUE></PROPERTY>";
  const std::string latin1Value =
      "<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE>K\xe4se</VALUE></PROPERTY>";
  const struct {
    std::string body;
    const char* method;
    const char* charset;  // of the Content-Type header
    std::string probe;
    std::string expected;
  } rows[] = {
      {instanceBody(value), "EnumerateInstances", "", "0.P", "K" + R + "se" + R},
      {instanceBody(value), "EnumerateInstances", "utf-8", "0.P", "K" + R + "se" + R},
      // Without a declaration the body is UTF-8 too.
      {instanceBody(value).substr(std::string(kHead).find("<CIM")), "EnumerateInstances", "", "0.P",
       "K" + R + "se" + R},
      {instanceBody("<PROPERTY NAME=\"\x1b[2J\" TYPE=\"string\"><VALUE>x</VALUE></PROPERTY>"),
       "EnumerateInstances", "", "0.*", R + "[2J"},
      // A Latin-1 body keeps its characters: no repair touches them.
      {latin1Head + instanceBody(latin1Value).substr(std::string(kHead).size()),
       "EnumerateInstances", "", "0.P", "K\xc3\xa4se"},
      // pywbem's example of a response it rejects for a raw control character.
      {readFixture("pywbem_InvalidResponse5_rsp.xml"), "GetInstance", "", "0.Address",
       "Fritz " + R + " Town"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.body.substr(0, 300));
    for (std::size_t pieceSize : {row.body.size(), std::size_t{1}}) {
      const Decoded decoded =
          decode(row.body, row.method, ResponseDecoder::kInstances, pieceSize, row.charset);
      EXPECT_EQ(probe(decoded, row.probe), row.expected);
    }
  }
}

TEST(ResponseDecoderTest, CharsetOfTheHeaderOverridesTheDeclaration) {
  const std::string body =
      instanceBody("<PROPERTY NAME=\"P\" TYPE=\"string\"><VALUE>K\xe4se</VALUE></PROPERTY>");
  ResponseDecoder decoder("EnumerateInstances", ResponseDecoder::kInstances);
  decoder.setEncoding("ISO-8859-1");
  ASSERT_TRUE(decoder.feed(body.data(), body.size()));
  ASSERT_TRUE(decoder.finish());
  const std::vector<CIMInstance> instances = decoder.takeInstances();
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_EQ(instances[0].getProperty("P")->getValue().toString(), "K\xc3\xa4se");
}

}  // namespace
}  // namespace cim
