#include "Zorvik/tests/ZorvikRun.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::ChildProcess;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;

/// The screens' "top:" lines, in order.
std::vector<std::string> topScreens(const std::string& output)
{
    return linesAfter(output, "top: ");
}

/// The standalone back-end on a port of its own, and a device folder, for each test.
class ZorvikProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_backend.started());
        auto line = m_backend.readLine(10s);
        ASSERT_TRUE(line.has_value());
        const std::string prefix = "listening on ";
        ASSERT_TRUE(line->starts_with(prefix)) << *line;
        m_backendUrl = "http://" + line->substr(prefix.size());
    }

    std::vector<std::string> device() const { return { "--backend", m_backendUrl, "--home", m_home.path() }; }

    ChildProcess m_backend { { ZORVIK_BACKEND_PROGRAM, "--port", "0", "--watch-stdin" } };
    std::string m_backendUrl;
    ::testing::TemporaryDirectory m_home;
};

/// The text between the first `from` and the `to` after it (to the end when there is none), or "" when
/// `from` is missing.
std::string between(const std::string& text, const std::string& from, const std::string& to)
{
    auto begin = text.find(from);
    if (begin == std::string::npos)
        return "";
    auto end = text.find(to, begin + from.size());
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

/// Runs the program in the repository's folder, as `scripts/run` does, so that the demo finds its files.
class InTheRepository {
public:
    InTheRepository() { fs::current_path(ZORVIK_REPOSITORY_DIR); }
    ~InTheRepository() { fs::current_path(m_before); }

private:
    fs::path m_before { fs::current_path() };
};

TEST_F(ZorvikProgramTest, TheDemoSignsUpSendsAnInvoiceMarksItPaidLogsOutAndLogsInAgain)
{
    auto arguments = device();
    arguments.insert(arguments.end(), { "--echo", "examples/demo.txt" });

    auto run = [&arguments] {
        InTheRepository here;
        return runZorvik(arguments);
    }();

    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, Not(HasSubstr("error: ")));
    auto documents = m_home.path() / "Documents";
    EXPECT_TRUE(run.output.starts_with("File Saved: " + (documents / "template.html").string() + "\n"))
        << run.output;
    EXPECT_EQ(topScreens(run.output),
        (std::vector<std::string> { "StartSignupViewController", "ConfirmPinViewController",
            "RegisterCompanyViewController", "SignupWithCompanyViewController", "WelcomeViewController",
            "FoldersViewControllerObjc", "CreateInvoiceViewController", "CreateInvoiceViewController",
            "BankAccountViewController \"Bank account info\"", "FoldersViewControllerObjc",
            "FoldersViewControllerObjc", "VATRegistrationViewController \"VAT info\"",
            "AlertController \"Are you sure?\"", "StartSignupViewController", "LoginWithPinViewController",
            "FoldersViewControllerObjc", "FoldersViewControllerObjc", "LoginWithPinViewController",
            "FoldersViewControllerObjc" }));
    EXPECT_THAT(run.output, HasSubstr("\"Make sure both pins match\""));
    EXPECT_THAT(between(run.output, "> type copperfinch", "> tap Copperfinch"),
        HasSubstr("\"Copperfinch Software Ltd\""));
    EXPECT_THAT(between(run.output, "> tap Copperfinch", "> tap Confirm"), HasSubstr("\"10384756\""));
    EXPECT_THAT(between(run.output, "> tap Get started", "> tap New invoice"),
        HasSubstr("\"Tap here to write your first invoice.\""))
        << "the hint on an empty list";
    EXPECT_THAT(run.output, HasSubstr("\"Let's get paid!\""));
    EXPECT_THAT(between(run.output, "> tap save", "> tap OK"), HasSubstr("\"Check your details\""));

    auto sent = between(run.output, "> tap close", "> swipe");
    EXPECT_THAT(sent, HasSubstr("Button (0, 64, 160, 44) \"To-Do\" [disabled]")) << "the To-Do list shows";
    EXPECT_THAT(sent, HasSubstr("\"outstanding\""));
    EXPECT_THAT(sent, HasSubstr("\"to Quillon Legal Services Ltd\""));
    auto paid = between(run.output, "> swipe", "> tap Settings");
    EXPECT_THAT(paid, HasSubstr("the row rests at offset 0"));
    EXPECT_THAT(paid, HasSubstr("Button (160, 64, 160, 44) \"Done\" [disabled]")) << "the Done list shows";
    EXPECT_THAT(paid, HasSubstr("\"paid\""));
    EXPECT_THAT(paid, HasSubstr("\"Website design\""));

    EXPECT_THAT(between(run.output, "> tap VAT registration", "> tap done"), HasSubstr("\"GB999999973\""));
    EXPECT_THAT(between(run.output, "> alert Log out", "> tap Log in"),
        HasSubstr("root: NoHistoryNavigationController stack [StartSignupViewController]\n"));
    auto loggedIn = between(run.output, "> tap Log in", "> background 300");
    EXPECT_THAT(loggedIn, HasSubstr("\"Incorrect pin.\""));
    auto done = between(loggedIn, "> tap Done", "> background");
    EXPECT_THAT(done, HasSubstr("\"Done\" [disabled]"));
    EXPECT_THAT(done, HasSubstr("\"paid\"")) << "the invoice is still in Done after logging in again";
    EXPECT_THAT(done, HasSubstr("\"Website design\""));

    auto afterAway = between(run.output, "> background 660", "> tap 1");
    EXPECT_THAT(afterAway, HasSubstr("\"Enter your pin.\""));
    EXPECT_THAT(afterAway, Not(HasSubstr("BtnTealLessThan"))) << "no way back from the PIN log-in at launch";
    EXPECT_LT(run.took, 90s) << "time away passes without waiting";
    std::ifstream user(documents / "user");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(user), {}), "new@zorvik.test");
    for (const char* pin : { "1357", "2468" })
        EXPECT_THAT(run.output, Not(HasSubstr("\"" + std::string(pin) + "\""))) << "no PIN on screen";

    auto again = runZorvik(device(), "screen\n");
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_THAT(again.output, Not(HasSubstr("File Saved"))) << "the template files are up to date";
    EXPECT_EQ(topScreens(again.output), (std::vector<std::string> { "LoginWithPinViewController" }))
        << "a known user meets the PIN log-in at launch";
}

TEST_F(ZorvikProgramTest, WaitsTakeRealTimeAndAFailedCommandSetsTheExitStatus)
{
    auto arguments = device();
    arguments.insert(arguments.end(), { "--screen", "375x667" });

    auto run = runZorvik(arguments, "wait 0.3\nscreen\ntap Nowhere\nfly\nwait soon\nwait\n");

    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_GE(run.took, 300ms);
    EXPECT_THAT(run.output, HasSubstr("screen 375x667\n"));
    EXPECT_THAT(run.output, HasSubstr("image \"BackgroundOffCentreBubbleBlur-667\"\n"));
    EXPECT_THAT(run.output, HasSubstr("error: nothing on screen reads \"Nowhere\"\n"));
    EXPECT_THAT(run.output, HasSubstr("error: unknown command \"fly\" (\"help\" lists the commands)\n"));
    EXPECT_THAT(run.output, HasSubstr("error: wait needs a number, not \"soon\"\n"));
    EXPECT_THAT(run.output, HasSubstr("error: wait needs a number of seconds\n"));
}

TEST_F(ZorvikProgramTest, TheKitStartsAgainstTheBackEndAndKeepsItsInstallationAcrossLaunches)
{
    auto first = runZorvik(device(), "wait 3\nkit\n");
    EXPECT_EQ(first.status, 0) << first.output;
    auto lines = linesAfter(first.output, "kit: ");
    ASSERT_EQ(lines.size(), 4u) << first.output;
    EXPECT_EQ(lines[0], "started with Ember, Tally");
    EXPECT_THAT(lines[1],
        MatchesRegex("installation [0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}, made at this launch"));
    EXPECT_THAT(lines[2], MatchesRegex("launch [0-9a-f]{32}, instance [0-9a-f]{40}"));
    EXPECT_EQ(lines[3], "settings downloaded, app activated")
        << "registered with the back-end, then fetched again";

    auto second = runZorvik(device(), "wait 3\nkit\n");
    EXPECT_EQ(second.status, 0) << second.output;
    auto again = linesAfter(second.output, "kit: ");
    ASSERT_EQ(again.size(), 4u) << second.output;
    auto installation = lines[1].substr(0, lines[1].find(','));
    EXPECT_EQ(again[1], installation + ", kept from an earlier launch");
    EXPECT_NE(again[2].substr(0, again[2].find(',')), lines[2].substr(0, lines[2].find(',')))
        << "each launch has an identifier of its own";
    EXPECT_EQ(again[2].substr(again[2].find(',')), lines[2].substr(lines[2].find(',')))
        << "the same program, the same instance";
    EXPECT_EQ(again[3], "settings downloaded, app activated");

    m_backend.closeInput();
    ASSERT_EQ(m_backend.wait(30s), 0);
    auto offline = runZorvik(device(), "wait 2\nkit\n");
    EXPECT_EQ(offline.status, 0) << offline.output;
    auto saved = linesAfter(offline.output, "kit: ");
    ASSERT_EQ(saved.size(), 4u) << offline.output;
    EXPECT_EQ(saved[3], "settings kept from an earlier launch, app activated")
        << "with the back-end gone, the settings are the last launch's";
}

TEST(ZorvikProgramOptionsTest, HelpListsEveryOptionAndCommandAndBadOptionsStopTheProgram)
{
    auto help = runZorvik({ "--help" });
    EXPECT_EQ(help.status, 0);
    for (const char* item :
        { "--script", "--echo", "--home", "--resources", "--screen", "--backend", "--api-url",
            "--companies-url", "--config-url", "--photo-url", "--version", "--help", "  tap ", "  type ",
            "  return ", "  swipe ", "  alert ", "  picker ", "  wait ", "  background ", "  screen ",
            "  camera ", "  contacts ", "  contacts-access ", "  kit ", "  crash ", "  throw ", "  help " })
        EXPECT_THAT(help.output, HasSubstr(item));

    // A folder for a script, a file for the device's folder, resources without the app's Info.plist.
    ::testing::TemporaryDirectory folder;
    auto file = folder.path() / "script.txt";
    std::ofstream(file) << "screen\n";
    std::string device = folder.path() / "device";
    for (const std::vector<std::string>& bad :
        std::vector<std::vector<std::string>> { { "--screen", "100x100" }, { "--bogus" }, { "--home" },
            { "--backend", "ftp://x" }, { "/no/such/script.txt" }, { "--home", device, folder.path() },
            { "--home", file, file }, { "--home", device, "--resources", folder.path() / "missing", file },
            { "--home", device, "--resources", folder.path(), file } }) {
        auto run = runZorvik(bad);
        EXPECT_EQ(run.status, 2) << bad.front() << " " << bad.back();
        EXPECT_EQ(run.output, "") << "errors go to standard error";
    }
}

}
}
