// The fixture's message-box catcher: real boxes are answered with their
// default button or a queued answer, their texts are recorded (wide texts
// in the ANSI code page), the owner is disabled while a box stands, and the
// class library's hook can hand a box over without showing one.
#include <windows.h>

#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/harness/harness.h"

namespace {

struct BoxCase {
    const char* name;
    UINT type;
    int queued;  // 0: none
    int expected;
};

const BoxCase kBoxes[] = {
    {"ok_default", MB_OK, 0, IDOK},
    {"okcancel_default", MB_OKCANCEL | MB_ICONWARNING, 0, IDOK},
    {"okcancel_second_default", MB_OKCANCEL | MB_DEFBUTTON2, 0, IDCANCEL},
    {"yesno_default", MB_YESNO | MB_ICONQUESTION, 0, IDYES},
    {"yesno_second_default", MB_YESNO | MB_DEFBUTTON2, 0, IDNO},
    {"yesnocancel_third_default", MB_YESNOCANCEL | MB_DEFBUTTON3, 0, IDCANCEL},
    {"retrycancel_default", MB_RETRYCANCEL, 0, IDRETRY},
    {"abortretryignore_default", MB_ABORTRETRYIGNORE, 0, IDABORT},
    {"yesnocancel_queued_no", MB_YESNOCANCEL, IDNO, IDNO},
    {"okcancel_queued_cancel", MB_OKCANCEL, IDCANCEL, IDCANCEL},
    {"yesno_queued_yes_over_default", MB_YESNO | MB_DEFBUTTON2, IDYES, IDYES},
};

class BoxAnswerTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxAnswerTest, AnsweredAndRecorded) {
    const BoxCase& c = GetParam();
    uitest::Stage stage(200, 100);
    uitest::MessageBoxCatcher catcher;
    if (c.queued) catcher.QueueAnswer(c.queued);
    int r = MessageBoxA(stage.host(), "line one\nline two", "Caption A", c.type);
    EXPECT_EQ(r, c.expected);
    auto boxes = catcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "line one\nline two");
    EXPECT_EQ(boxes[0].caption, "Caption A");
    EXPECT_EQ(boxes[0].type, c.type);
    EXPECT_EQ(boxes[0].answer, c.expected);
    EXPECT_EQ(boxes[0].owner, stage.host());
    EXPECT_NE(boxes[0].box, nullptr);
    EXPECT_TRUE(boxes[0].ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(stage.host()));
}

INSTANTIATE_TEST_SUITE_P(Types, BoxAnswerTest, ::testing::ValuesIn(kBoxes),
                         [](const ::testing::TestParamInfo<BoxCase>& i) {
                             return std::string(i.param.name);
                         });

TEST(MessageBoxCatcherTest, WideKoreanTextIsRecordedInTheAnsiCodePage) {
    uitest::MessageBoxCatcher catcher;
    EXPECT_EQ(MessageBoxW(nullptr, L"\xC190\xC0C1\xB41C \xD30C\xC77C\xC785\xB2C8\xB2E4",
                          L"\xC54C\xB9BC", MB_OK),
              IDOK);
    auto boxes = catcher.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    // The narrow literals are compiled in code page 949, as the program's are.
    EXPECT_EQ(boxes[0].text, "손상된 파일입니다");
    EXPECT_EQ(boxes[0].caption, "알림");
}

TEST(MessageBoxCatcherTest, SeveralBoxesTakeQueuedAnswersInOrder) {
    uitest::MessageBoxCatcher catcher;
    catcher.QueueAnswer(IDNO);
    catcher.QueueAnswer(IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "first", nullptr, MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxExA(nullptr, "second", "t", MB_OKCANCEL, 0), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "third", "t", MB_YESNO), IDYES);
    auto boxes = catcher.boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "first");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[1].text, "second");
    EXPECT_EQ(boxes[2].text, "third");
}

TEST(MessageBoxCatcherTest, IndirectBoxIsAnswered) {
    uitest::MessageBoxCatcher catcher;
    MSGBOXPARAMSA p = {};
    p.cbSize = sizeof p;
    p.lpszText = "indirect";
    p.lpszCaption = "cap";
    p.dwStyle = MB_OKCANCEL | MB_DEFBUTTON2;
    EXPECT_EQ(MessageBoxIndirectA(&p), IDCANCEL);
    ASSERT_EQ(catcher.count(), 1);
    EXPECT_EQ(catcher.boxes()[0].text, "indirect");
}

TEST(MessageBoxCatcherTest, BoxOnAnotherThreadIsAnswered) {
    uitest::MessageBoxCatcher catcher;
    int r = 0;
    std::thread t(
        [&] { r = MessageBoxA(nullptr, "from a worker", "w", MB_YESNO | MB_DEFBUTTON2); });
    t.join();
    EXPECT_EQ(r, IDNO);
    ASSERT_EQ(catcher.count(), 1);
    EXPECT_EQ(catcher.boxes()[0].text, "from a worker");
}

TEST(MessageBoxCatcherTest, LibraryHookIsRecordedWithoutAWindow) {
    uitest::MessageBoxFn hook = &uitest::AnswerMessageBox;
    EXPECT_EQ(hook(nullptr, "no catcher", "x", MB_OK), 0);
    uitest::MessageBoxCatcher catcher;
    catcher.QueueAnswer(IDRETRY);
    EXPECT_EQ(hook(nullptr, "retry?", "x", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(hook(nullptr, "sure?", "x", MB_YESNO | MB_DEFBUTTON2), IDNO);
    auto boxes = catcher.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "retry?");
    EXPECT_EQ(boxes[0].box, nullptr);
    EXPECT_EQ(boxes[1].answer, IDNO);
}

}  // namespace
