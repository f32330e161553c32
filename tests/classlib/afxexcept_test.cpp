// Exceptions: thrown as pointers, ended with Delete, with error texts that
// fit the caller's buffer.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "classlib/afxexcept.h"

TEST(Exceptions, ThrownAsPointersAndDeleted) {
    struct Case {
        const char* name;
        void (*thrower)();
        const char* text;
    };
    const Case cases[] = {
        {"memory", [] { AfxThrowMemoryException(); }, "Out of memory."},
        {"not supported", [] { AfxThrowNotSupportedException(); }, "Unsupported operation."},
        {"resource", [] { AfxThrowResourceException(); }, "A required resource was unavailable."},
    };
    for (const Case& c : cases) {
        bool caught = false;
        try {
            c.thrower();
        } catch (CException* e) {
            caught = true;
            char text[128];
            UINT help = 99;
            EXPECT_TRUE(e->GetErrorMessage(text, sizeof text, &help)) << c.name;
            EXPECT_STREQ(c.text, text) << c.name;
            EXPECT_EQ(0u, help) << c.name;
            e->Delete();  // the leak checker sees a handler that forgets this
        }
        EXPECT_TRUE(caught) << c.name;
    }
}

TEST(Exceptions, ErrorTextFitsTheBuffer) {
    struct Case {
        const char* name;
        const char* text;
        UINT size;
        BOOL result;
        const char* expected;
    };
    const Case cases[] = {
        {"fits", "abc", 8, TRUE, "abc"},
        {"exactly", "abc", 4, TRUE, "abc"},
        {"cut", "abcdef", 4, TRUE, "abc"},
        {"cut before a Korean character", "ab\xC7\xD1", 4, TRUE, "ab"},
        {"Korean fits", "ab\xC7\xD1", 5, TRUE, "ab\xC7\xD1"},
        {"room for the terminator only", "abc", 1, TRUE, ""},
        {"no room", "abc", 0, FALSE, nullptr},
    };
    for (const Case& c : cases) {
        char buf[16];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(c.result, AfxCopyErrorText(c.text, buf, c.size)) << c.name;
        if (c.expected) {
            EXPECT_STREQ(c.expected, buf) << c.name;
        } else {
            EXPECT_EQ('x', buf[0]) << c.name << ": nothing written";
        }
        EXPECT_EQ('x', buf[c.size < 16 ? c.size : 15]) << c.name << ": nothing past the buffer";
    }
    CException plain;
    char buf[4] = "zz";
    EXPECT_FALSE(plain.GetErrorMessage(buf, sizeof buf));
    EXPECT_STREQ("", buf);
}
