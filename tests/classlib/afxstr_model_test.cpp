// CString against a plain model on random byte strings: the model splits the
// text into characters (a byte 0x81-0xFE with the byte after it, any other
// byte alone) and does each operation character by character. The bytes are
// drawn from a palette rich in lead bytes, letters and separators, so that
// pairs, lone lead bytes at the end and second bytes equal to ASCII
// characters are frequent.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/afxstr.h"

namespace {

struct Model {
    std::vector<std::string> chars;
    std::vector<int> offsets;  // byte offset of each character, then the length

    explicit Model(const std::string& s) {
        size_t p = 0;
        while (p < s.size()) {
            size_t len =
                (static_cast<unsigned char>(s[p]) >= 0x81 &&
                 static_cast<unsigned char>(s[p]) <= 0xFE && p + 1 < s.size() && s[p + 1] != '\0')
                    ? 2
                    : 1;
            offsets.push_back(static_cast<int>(p));
            chars.push_back(s.substr(p, len));
            p += len;
        }
        offsets.push_back(static_cast<int>(s.size()));
    }
    int Length() const { return offsets.back(); }
    std::string Join(size_t from, size_t to) const {
        std::string r;
        for (size_t i = from; i < to; ++i) r += chars[i];
        return r;
    }
    // The characters lying wholly inside bytes [first, end).
    std::string Inside(long long first, long long end) const {
        std::string r;
        for (size_t i = 0; i < chars.size(); ++i)
            if (offsets[i] >= first && offsets[i + 1] <= end) r += chars[i];
        return r;
    }
    // Without the characters that have a byte inside [first, end).
    std::string Without(long long first, long long end) const {
        std::string r;
        for (size_t i = 0; i < chars.size(); ++i)
            if (offsets[i + 1] <= first || offsets[i] >= end) r += chars[i];
        return r;
    }
    int Find(const std::string& sub, int start) const {
        if (start < 0 || start > Length()) return -1;
        for (size_t i = 0; i <= chars.size(); ++i) {
            if (offsets[i] < start) continue;
            std::string run;
            for (size_t j = i; j <= chars.size(); ++j) {
                if (run == sub) return offsets[i];
                if (run.size() >= sub.size() || j == chars.size()) break;
                run += chars[j];
            }
        }
        return -1;
    }
    int ReverseFind(char ch) const {
        for (size_t i = chars.size(); i-- > 0;)
            if (chars[i].size() == 1 && chars[i][0] == ch) return offsets[i];
        return -1;
    }
    std::string Upper() const {
        std::string r;
        for (const std::string& c : chars)
            r += (c.size() == 1 && c[0] >= 'a' && c[0] <= 'z') ? std::string(1, c[0] - 32) : c;
        return r;
    }
    std::string Replace(const std::string& from, const std::string& to, int* count) const {
        std::string r;
        *count = 0;
        size_t i = 0;
        while (i < chars.size()) {
            std::string run;
            size_t j = i;
            while (j < chars.size() && run.size() < from.size()) run += chars[j++];
            if (!from.empty() && run == from) {
                r += to;
                ++*count;
                i = j;
            } else {
                r += chars[i++];
            }
        }
        return r;
    }
    std::string TrimRight(const std::vector<std::string>& set) const {
        size_t keep = chars.size();
        while (keep > 0) {
            bool in = false;
            for (const std::string& s : set) in = in || s == chars[keep - 1];
            if (!in) break;
            --keep;
        }
        return Join(0, keep);
    }
};

std::string S(const CString& s) { return std::string(s.GetString(), s.GetLength()); }

}  // namespace

TEST(CStringModel, RandomTextsAgreeWithTheModel) {
    const unsigned char palette[] = {'a',  'A',  'z',  'Z',  '\\', ' ',  '.',  0x41,
                                     0x5C, 0x61, 0x81, 0xB0, 0xC7, 0xD1, 0xFE, 0xA1,
                                     0x7F, 0x80, 0xFF, 0x5A, 0x7A, 0x8C, 0x94};
    std::mt19937 rng(20241211);
    auto pick = [&](size_t maxLen) {
        std::uniform_int_distribution<size_t> len(0, maxLen);
        std::uniform_int_distribution<size_t> b(0, sizeof palette - 1);
        std::string s(len(rng), ' ');
        for (char& c : s) c = static_cast<char>(palette[b(rng)]);
        return s;
    };
    std::uniform_int_distribution<int> pos(-3, 28);

    int failures = 0;
    for (int round = 0; round < 20000 && failures < 20; ++round) {
        const std::string text = pick(24);
        const Model m(text);
        const CString s(text.data(), static_cast<int>(text.size()));
        const int a = pos(rng), b = pos(rng);
        const std::string sub = pick(3);
        const char ch =
            static_cast<char>(palette[static_cast<size_t>(pos(rng) + 3) % sizeof palette]);

        auto check = [&](const char* what, const std::string& want, const std::string& got) {
            if (want == got) return;
            ++failures;
            ADD_FAILURE() << what << " of " << testing::PrintToString(text) << " a=" << a
                          << " b=" << b << " sub=" << testing::PrintToString(sub) << ": want "
                          << testing::PrintToString(want) << ", got "
                          << testing::PrintToString(got);
        };
        auto checkInt = [&](const char* what, int want, int got) {
            check(what, std::to_string(want), std::to_string(got));
        };

        const long long first = a < 0 ? 0 : a;
        const long long count = b < 0 ? 0 : b;
        check("Mid", m.Inside(first, first + count), S(s.Mid(a, b)));
        check("Left", m.Inside(0, count), S(s.Left(b)));
        check("Right", m.Inside(m.Length() - (count < m.Length() ? count : m.Length()), m.Length()),
              S(s.Right(b)));
        checkInt("Find(sub)", m.Find(sub, a), s.Find(sub.c_str(), a));
        checkInt("Find(ch)", m.Find(std::string(1, ch), a), s.Find(ch, a));
        checkInt("ReverseFind", m.ReverseFind(ch), s.ReverseFind(ch));

        CString upper(s);
        upper.MakeUpper();
        check("MakeUpper", m.Upper(), S(upper));

        CString deleted(s);
        deleted.Delete(a, b);
        check("Delete", b > 0 && a < m.Length() ? m.Without(first, first + count) : text,
              S(deleted));

        if (!sub.empty() && sub.find('\0') == std::string::npos) {
            int want = 0;
            std::string replaced = m.Replace(sub, "<>", &want);
            CString r(s);
            int got = r.Replace(sub.c_str(), "<>");
            checkInt("Replace count", want, got);
            check("Replace", replaced, S(r));

            Model set(sub);
            CString t(s);
            t.TrimRight(sub.c_str());
            check("TrimRight", m.TrimRight(set.chars), S(t));
        }
    }
    EXPECT_EQ(0, failures);
}
