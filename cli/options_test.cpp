#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/getopt.h"

namespace {

// The values in one line, so a row's expectation reads at a glance; the CA
// certificates file only when one is given.
std::string describe(const cli::Options& options) {
  std::string text = std::string("server=") + options.server.c_str() +
                     " user=" + options.user.c_str() + " password=" + options.password.c_str() +
                     " output=" + options.outputPath.c_str() + " format=" + options.format.c_str() +
                     " filter=" + options.filter.c_str();
  if (!options.caCertificates.empty())
    text += std::string(" cacert=") + options.caCertificates.c_str();
  return text;
}

// Command lines that pass every check, and the options they give. Misuse
// ends the process and is covered by the end-to-end tests in tests/cli/.
TEST(ParseCommandLine, ValidCommandLines) {
  const struct {
    std::vector<std::string> args;  // without the program name
    const char* expected;
  } rows[] = {
      {{"-s", "host", "-u", "user"}, "server=host user=user password= output= format=TEXT filter="},
      {{"-shost", "-u:user", "-p-secret", "-fxml", "-o", "out.txt", "-t", "cpu,FAN"},
       "server=host user=user password=-secret output=out.txt format=xml filter=cpu,FAN"},
      {{"--server=h", "--uername", "u", "--password=a=b", "--format=Xml", "--output", "r.xml",
        "--filter=NIC"},
       "server=h user=u password=a=b output=r.xml format=Xml filter=NIC"},
      {{"/server", "h", "/uername=u", "/format", "text", "/filter", "PS"},
       "server=h user=u password= output= format=text filter=PS"},
      // The last value wins; values are never merged.
      {{"-s", "1", "-s", "2",   "-u", "a",   "-u", "b",   "-p", "x",
        "-p", "y", "-t", "CPU", "-t", "FAN", "-f", "XML", "-f", "TEXT"},
       "server=2 user=b password=y output= format=TEXT filter=FAN"},
      // An empty -o value means the console; an empty -t means everything.
      {{"-s", "h", "-u", "u", "-o", "", "-t", ""},
       "server=h user=u password= output= format=TEXT filter="},
      {{"-s", "h", "-u", "u", "-o", "x", "-o", ""},
       "server=h user=u password= output= format=TEXT filter="},
      // --cacert has its long and slash forms only.
      {{"--cacert", "ca.pem", "-s", "h", "-u", "u"},
       "server=h user=u password= output= format=TEXT filter= cacert=ca.pem"},
      {{"-s", "h", "/cacert", "ca.pem", "-u", "u", "--cacert=/etc/ca.pem"},
       "server=h user=u password= output= format=TEXT filter= cacert=/etc/ca.pem"},
      {{"-s", "h", "-u", "u", "/cacert=a", "--cacert", "b"},
       "server=h user=u password= output= format=TEXT filter= cacert=b"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> storage = row.args;
    storage.insert(storage.begin(), "telvanecli");
    std::vector<char*> argv;
    std::string trace;
    for (std::string& element : storage) {
      argv.push_back(element.data());
      trace += "[" + element + "]";
    }
    argv.push_back(nullptr);
    SCOPED_TRACE(trace);

    cli_getopt_reset();
    EXPECT_EQ(describe(cli::parseCommandLine(static_cast<int>(storage.size()), argv.data())),
              row.expected);
  }
}

}  // namespace
