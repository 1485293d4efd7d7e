#include "cli/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/getopt.h"

namespace {

// Command lines that pass every check, and the options they give. Misuse
// ends the process and is covered by the end-to-end tests in tests/cli/.
TEST(ParseCommandLine, ValidCommandLines) {
  const struct {
    std::vector<std::string> args;  // without the program name
    const char* server;
    const char* user;
    const char* password;
    const char* outputPath;
    const char* format;
    const char* filter;
  } rows[] = {
      {{"-s", "host", "-u", "user"}, "host", "user", "", "", "TEXT", ""},
      {{"-shost", "-u:user", "-p-secret", "-fxml", "-o", "out.txt", "-t", "cpu,FAN"},
       "host", "user", "-secret", "out.txt", "xml", "cpu,FAN"},
      {{"--server=h", "--uername", "u", "--password=a=b", "--format=Xml", "--output", "r.xml",
        "--filter=NIC"},
       "h", "u", "a=b", "r.xml", "Xml", "NIC"},
      {{"/server", "h", "/uername=u", "/format", "text", "/filter", "PS"},
       "h", "u", "", "", "text", "PS"},
      // The last value wins, values are never merged.
      {{"-s", "first", "-s", "second", "-u", "a", "-u", "b", "-p", "x", "-p", "y", "-t", "CPU",
        "-t", "FAN", "-f", "XML", "-f", "TEXT"},
       "second", "b", "y", "", "TEXT", "FAN"},
      // An empty -o value means the console; an empty -t means everything.
      {{"-s", "h", "-u", "u", "-o", "", "-t", ""}, "h", "u", "", "", "TEXT", ""},
      {{"-s", "h", "-u", "u", "-o", "x", "-o", ""}, "h", "u", "", "", "TEXT", ""},
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
    const cli::Options options = cli::parseCommandLine(static_cast<int>(storage.size()), argv.data());
    EXPECT_STREQ(options.server.c_str(), row.server);
    EXPECT_STREQ(options.user.c_str(), row.user);
    EXPECT_STREQ(options.password.c_str(), row.password);
    EXPECT_STREQ(options.outputPath.c_str(), row.outputPath);
    EXPECT_STREQ(options.format.c_str(), row.format);
    EXPECT_STREQ(options.filter.c_str(), row.filter);
  }
}

}  // namespace
