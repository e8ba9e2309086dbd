// The output rules of the command line, routine by routine: text made valid UTF-8, files told
// apart by what they are, and outputs that take their targets' places all together or not at all.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "fileidentity.hpp"
#include "htmlparts.hpp"
#include "outputs.hpp"
#include "support/run.hpp"
#include "textencoding.hpp"

using namespace flownet;
using flownet::testing::readFile;
using flownet::testing::TempDir;
using flownet::testing::writeFile;
namespace fs = std::filesystem;

// Each byte sequence with the UTF-8 it becomes, worked out from the code charts: UTF-8 kept,
// every other byte taken as Windows-1252.
TEST(TextEncoding, BytesThatAreNotUtf8BecomeTheirWindows1252Characters) {
    const struct {
        std::string bytes, utf8;
    } cases[] = {
        {"PLANTS", "PLANTS"},
        {"\xc9t\xe9", "\xc3\x89t\xc3\xa9"},                       // Latin-1 É and é
        {"\xc3\x89t\xc3\xa9", "\xc3\x89t\xc3\xa9"},               // the same, UTF-8 already
        {"\x80\x9f", "\xe2\x82\xac\xc5\xb8"},                     // € and Ÿ
        {"\x81\x8d", "\xc2\x81\xc2\x8d"},                         // unassigned: C1 controls
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                         // an overlong '/' is two bytes
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},         // a surrogate
        {"a\xe2\x82", "a\xc3\xa2\xe2\x80\x9a"},                   // a sequence cut short
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},                 // U+1F600, kept
        {"\xf4\x90\x80\x80", "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac"},  // above U+10FFFF
        {std::string("a\0b", 3), std::string("a\0b", 3)},         // NUL is a character
    };
    for (const auto& c : cases) EXPECT_EQ(utf8Text(c.bytes), c.utf8) << c.bytes;
}

TEST(TextEncoding, PrintableTextReplacesControlCharacters) {
    const std::string r = "\xef\xbf\xbd";
    EXPECT_EQ(printableText(std::string("a\0b\x01\tc\x7f", 7)), "a" + r + "b" + r + "\tc" + r);
    EXPECT_EQ(printableText("\xc2\x85\x85"), r + "\xe2\x80\xa6");  // U+0085 NEL; Windows-1252 …
    EXPECT_EQ(printableText("\xc2\xa0\xc9"), "\xc2\xa0\xc3\x89");  // no-break space, É
}

// Names and titles go into HTML pages and Graphviz labels: markup in them must show as text, and
// in attribute values a quote must not end the value.
TEST(TextEncoding, MarkupInNamesIsEscaped) {
    EXPECT_EQ(htmlText("<b>A & \"B\"</b>\x01"), "&lt;b&gt;A &amp; &quot;B&quot;&lt;/b&gt;\xef\xbf\xbd");
    EXPECT_EQ(escapedMarkup("say \"x<y\" & go", false), "say \"x&lt;y\" &amp; go");
}

// One file under every spelling; a new file by its resolved folder.
TEST(FileIdentity, OneFileHoweverSpelt) {
    TempDir dir;
    writeFile(dir / "x", "x");
    fs::create_directory(dir / "d");
    fs::create_hard_link(dir / "x", dir / "hard");
    fs::create_symlink("x", dir / "soft");
    fs::create_directory_symlink("d", dir / "dlink");
    const std::string base = dir.path().string();
    const FileIdentity x = identifyFile(base + "/x");
    EXPECT_EQ(x.kind, FileKind::Regular);
    for (const std::string other : {"/./x", "/d/../x", "/hard", "/soft"}) {
        EXPECT_TRUE(sameFile(x, identifyFile(base + other))) << other;
    }
    EXPECT_FALSE(sameFile(x, identifyFile(base + "/x ")));
    const FileIdentity fresh = identifyFile(base + "/d/new");
    EXPECT_EQ(fresh.kind, FileKind::None);
    EXPECT_TRUE(sameFile(fresh, identifyFile(base + "/dlink/new")));
    EXPECT_FALSE(sameFile(fresh, identifyFile(base + "/d/new2")));
    EXPECT_TRUE(identifyFile(base + "/none/new").path.empty());
    EXPECT_TRUE(identifyFile("-").standardOutput);
    EXPECT_TRUE(identifyFile("/dev/stdout").standardOutput);
    EXPECT_TRUE(identifyFile("/dev/null").nullDevice);
}

namespace {

struct Folder {
    TempDir dir;
    std::string operator()(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& e : fs::directory_iterator(dir.path())) all.push_back(e.path().filename());
        std::sort(all.begin(), all.end());
        return all;
    }
};

std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const OutputFailure& e) {
        return e.message;
    }
    return "";
}

}  // namespace

// Nothing is in the folder but the temporary files until the outputs are committed; then the
// targets, with the permissions of the file replaced.
TEST(RunOutputs, TargetsChangeOnlyAtTheCommit) {
    Folder f;
    writeFile(f("old"), "old\n");
    ::chmod(f("old").c_str(), 0640);
    std::ostringstream standardOutput;
    RunOutputs outputs(standardOutput, true, {f("net.dat")});
    outputs.open("--report", f("old")).stream() << "new\n";
    outputs.open("--json", f("fresh")).stream() << "{}\n";
    outputs.open("--summary", "-").stream() << "csv\n";
    EXPECT_EQ(readFile(f("old")), "old\n");
    EXPECT_FALSE(fs::exists(f("fresh")));
    EXPECT_EQ(f.names().size(), 3u);  // old and two temporary files
    for (const auto& o : outputs.all()) o->finishWriting();
    outputs.commit();
    EXPECT_EQ(readFile(f("old")), "new\n");
    EXPECT_EQ(readFile(f("fresh")), "{}\n");
    EXPECT_EQ(standardOutput.str(), "csv\n");
    struct stat st {};
    ASSERT_EQ(::stat(f("old").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(f.names(), (std::vector<std::string>{"fresh", "old"}));
}

// Without --force a target that appears during the run (another run's) is never replaced, and the
// targets created before it are removed again; a discarded run leaves nothing.
TEST(RunOutputs, ATargetThatAppearsMeanwhileIsKept) {
    Folder f;
    std::ostringstream standardOutput;
    {
        RunOutputs outputs(standardOutput, false, {});
        outputs.open("--report", f("a")).stream() << "a\n";
        outputs.open("--json", f("b")).stream() << "b\n";
        for (const auto& o : outputs.all()) o->finishWriting();
        writeFile(f("b"), "theirs\n");
        EXPECT_EQ(failureOf([&] { outputs.commit(); }),
                  f("b") + ": the file exists (use --force to replace it)");
    }
    EXPECT_EQ(f.names(), (std::vector<std::string>{"b"}));
    EXPECT_EQ(readFile(f("b")), "theirs\n");
    // The exclusive rename itself: the target created between the check and the rename.
    {
        RunOutputs outputs(standardOutput, false, {});
        OutputFile& c = outputs.open("--report", f("c"));
        c.finishWriting();
        writeFile(f("c"), "theirs\n");
        EXPECT_EQ(failureOf([&] { c.commit(false); }),
                  f("c") + ": the file exists (use --force to replace it)");
        outputs.discard();
    }
    EXPECT_EQ(f.names(), (std::vector<std::string>{"b", "c"}));
    {
        RunOutputs outputs(standardOutput, false, {});
        outputs.open("--report", f("d")).stream() << "d\n";
        outputs.discard();
    }
    EXPECT_EQ(f.names(), (std::vector<std::string>{"b", "c"}));
}

// Each refusal, with nothing created.
TEST(RunOutputs, RefusalsBeforeAnythingIsWritten) {
    Folder f;
    writeFile(f("net.dat"), "net\n");
    writeFile(f("old"), "old\n");
    fs::create_directory(f("dir"));
    fs::create_symlink("nowhere", f("dangling"));
    std::ostringstream standardOutput;
    RunOutputs outputs(standardOutput, false, {f("net.dat")});
    const std::string dir = f.dir.path().string();
    const struct {
        std::string option, name, why;
    } cases[] = {
        {"--json", "", "--json: an empty file name"},
        {"--json", dir + "/./net.dat", dir + "/./net.dat: that is a network file being read"},
        {"--json", f("old"), f("old") + ": the file exists (use --force to replace it)"},
        {"--json", f("dir"), f("dir") + ": is a folder"},
        {"--json", f("none/x"), f("none/x") + ": cannot be created: No such file or directory"},
        {"--json", f("dangling"), f("dangling") + ": the name is taken by a symbolic link"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failureOf([&] { outputs.open(c.option, c.name); }).substr(0, c.why.size()), c.why);
    }
    outputs.open("--report", "-");
    outputs.open("--dot", "/dev/null");
    outputs.open("--summary", "/dev/null");  // the null device takes any number
    EXPECT_EQ(failureOf([&] { outputs.open("--json", "/dev/stdout"); }),
              "both --report and --json would write to standard output");
    EXPECT_EQ(f.names(), (std::vector<std::string>{"dangling", "dir", "net.dat", "old"}));
}

// A write that fails is told with its reason.
TEST(RunOutputs, AFailedWriteIsTold) {
    std::ostringstream standardOutput;
    RunOutputs outputs(standardOutput, false, {});
    OutputFile& full = outputs.open("--json", "/dev/full");
    full.stream() << "x";
    EXPECT_EQ(failureOf([&] { full.finishWriting(); }),
              "/dev/full: could not be written in full: No space left on device");
}
