// Runs the fuzzer's seed corpus through the reader as an ordinary test: files
// named "valid-*" must read, the others must be refused cleanly; every file is
// held to the fuzzer's round-trip check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FuzzBody.h"

static std::string g_corpus;

TEST(FormCorpusReplay, EverySeedReadsOrIsRefused) {
    ASSERT_FALSE(g_corpus.empty()) << "corpus folder argument missing";
    int files = 0, lessonForms = 0;
    for (const auto& e : std::filesystem::directory_iterator(g_corpus)) {
        std::ifstream in(e.path(), std::ios::binary);
        std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string name = e.path().filename().string();
        bool valid = name.rfind("valid-", 0) == 0 || name.rfind("form-", 0) == 0;
        lessonForms += name.rfind("form-", 0) == 0;
        // An exact-size heap copy, so a read past the end is caught under sanitizers.
        std::unique_ptr<uint8_t[]> copy(new uint8_t[b.size() ? b.size() : 1]);
        std::copy(b.begin(), b.end(), copy.get());
        EXPECT_EQ(FuzzOneFormStream(copy.get(), b.size()), valid) << name;
        ++files;
    }
    EXPECT_GE(files, 6);
    EXPECT_GE(lessonForms, 6) << "the lesson forms' binaries belong in the corpus";
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_corpus = argv[1];
    return RUN_ALL_TESTS();
}
