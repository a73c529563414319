// The XML codec library codec.so, loaded as the program loads it.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "family/codec/kroxmlcodec.h"

namespace {

class CodecTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module = ::dlopen((std::string(VELNOR_PROGRAM_DIR) + "/codec.so").c_str(), RTLD_NOW);
        ASSERT_NE(module, nullptr) << ::dlerror();
        encode = reinterpret_cast<decltype(&KroXMLEncode)>(::dlsym(module, "KroXMLEncode"));
        decode = reinterpret_cast<decltype(&KroXMLDecode)>(::dlsym(module, "KroXMLDecode"));
        release = reinterpret_cast<decltype(&KroCodecFree)>(::dlsym(module, "KroCodecFree"));
        ASSERT_TRUE(encode && decode && release);
    }
    void TearDown() override {
        if (module != nullptr) {
            ::dlclose(module);
        }
    }

    // Runs one of the two and returns its status, with the text in result.
    int run(decltype(&KroXMLEncode) function, const std::string& text, std::string* result) {
        char* out = reinterpret_cast<char*>(1);
        size_t length = 99;
        const int status = function(text.data(), text.size(), &out, &length);
        if (status == KRO_CODEC_OK) {
            EXPECT_EQ(out[length], '\0');
            result->assign(out, length);
            release(out);
        } else {
            EXPECT_EQ(out, nullptr);
            EXPECT_EQ(length, 0u);
        }
        return status;
    }

    void* module = nullptr;
    decltype(&KroXMLEncode) encode = nullptr;
    decltype(&KroXMLDecode) decode = nullptr;
    decltype(&KroCodecFree) release = nullptr;
};

TEST_F(CodecTest, EncodeEscapesAndDecodeRestores) {
    const struct {
        std::string plain;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"Scans 2026", "Scans 2026"},
        {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&apos;"},
        {"tab\tline\ncr\r", "tab\tline\ncr\r"},
        {std::string("nul\0bell\x07", 9), "nul&#0;bell&#7;"},
        {"Bücher \xE2\x82\xAC", "Bücher \xE2\x82\xAC"},
        {"&amp;", "&amp;amp;"},
    };
    for (const auto& c : cases) {
        std::string encoded;
        ASSERT_EQ(run(encode, c.plain, &encoded), KRO_CODEC_OK);
        EXPECT_EQ(encoded, c.encoded);
        std::string decoded;
        ASSERT_EQ(run(decode, encoded, &decoded), KRO_CODEC_OK) << encoded;
        EXPECT_EQ(decoded, c.plain);
    }
}

TEST_F(CodecTest, DecodeReadsCharacterReferencesAndRefusesBrokenOnes) {
    std::string decoded;
    ASSERT_EQ(run(decode, "&#65;&#x42;&#x20AC;&#128512;", &decoded), KRO_CODEC_OK);
    EXPECT_EQ(decoded, "AB\xE2\x82\xAC\xF0\x9F\x98\x80");

    for (const char* broken : {"&", "a & b", "&unknown;", "&#;", "&#x;", "&#x110000;", "&#xD800;",
                               "&#12a;", "&amp", "&#99999999999;"}) {
        EXPECT_EQ(run(decode, broken, &decoded), KRO_CODEC_MALFORMED) << broken;
    }
}

TEST_F(CodecTest, NullArgumentsAreRefused) {
    char* out = nullptr;
    size_t length = 0;
    EXPECT_EQ(encode(nullptr, 3, &out, &length), KRO_CODEC_INVALID_ARGUMENT);
    EXPECT_EQ(decode("x", 1, nullptr, &length), KRO_CODEC_INVALID_ARGUMENT);
    EXPECT_EQ(encode(nullptr, 0, &out, nullptr), KRO_CODEC_OK);
    EXPECT_STREQ(out, "");
    release(out);
    release(nullptr);
}

}  // namespace
