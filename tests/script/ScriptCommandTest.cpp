#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TToolResult {
    int status = -1;
    std::string out;
};

class ScriptCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qxscript-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& text) {
        const fs::path path = dir_ / "test.qxscen";
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    // Runs qxtool with the arguments, stdout captured, stderr into a file.
    TToolResult Tool(const std::string& args) {
        const std::string command = std::string("'") + QXTOOL_PATH + "' " + args + " 2>'" + (dir_ / "stderr").string() + "'";
        TToolResult result;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return result;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }
    std::string Stderr() {
        std::ifstream in(dir_ / "stderr");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

TEST_F(ScriptCommand, PrintsEveryVariableSortedByName) {
    const auto result = Tool("script " + Write("zeta := 42; alpha := 3.5; s := 'it''s'; b := 1 < 2; f := FALSE;\r\n"
                                               "SetArray(arr, 3); arr[0] := 7; arr[2] := 9; big := 1e20; u := v;"));
    EXPECT_EQ(result.status, 1);  // v is read before it is assigned
    EXPECT_EQ(result.out, "Runtimeerror: Variable V is not defined. [Position 128]\n");

    const auto ok = Tool("script " + Write("zeta := 42; alpha := 3.5; s := 'it''s'; b := 1 < 2; f := FALSE;\r\n"
                                           "SetArray(arr, 3); arr[0] := 7; arr[2] := 9; big := 1e20; neg := -0.25;"
                                           "if FALSE then never := 1;"));
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out,
              "ALPHA=FLOAT:3.5\n"
              "ARR=ARRAY:3\n"
              "ARR[0]=INTEGER:7\n"
              "ARR[1]=VOID\n"
              "ARR[2]=INTEGER:9\n"
              "B=BOOLEAN:TRUE\n"
              "BIG=FLOAT:1E20\n"
              "F=BOOLEAN:FALSE\n"
              "NEG=FLOAT:-0.25\n"
              "NEVER=VOID\n"
              "S=STRING:it's\n"
              "ZETA=INTEGER:42\n");
}

TEST_F(ScriptCommand, ScriptErrorsGoToStdoutWithStatusOne) {
    auto result = Tool("script " + Write("x := 1;\r\ny := 1 +;"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Syntaxerror: Expression expected. [Position 18]\n");
    result = Tool("script " + Write("x := 1 + ?"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Syntaxerror: Invalid character (\"?\", 63) [Position 10]\n");
    result = Tool("script " + Write("a := 10; b := 0; c := a div b;"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Runtimeerror: Division by zero [Position 25]\n");
}

TEST_F(ScriptCommand, OtherFailuresExitTwoWithAMessageOnStderr) {
    auto result = Tool("script '" + (dir_ / "missing.qxscen").string() + "'");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(Stderr().find("missing.qxscen"), std::string::npos);
    result = Tool("script");
    EXPECT_EQ(result.status, 2);
    result = Tool("script --help");
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("Usage: qxtool script FILE"), std::string::npos);
}

TEST_F(ScriptCommand, EmptyScriptPrintsNothing) {
    const auto result = Tool("script " + Write("{ nothing here }\r\n// nor here\r\n"));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
}

} // namespace
