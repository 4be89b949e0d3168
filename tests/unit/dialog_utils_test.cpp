// The small procedures both dialogs use, in process, on the program's own templates.
#include <gtest/gtest.h>

#include <string>

#include "dialog_utils.h"
#include "e2e.h"
#include "resource_ids.h"
#include "state.h"

namespace {

class OnTheTemplates : public ::testing::Test {
  protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        master_ = CreateDialogParamA(AppInstance, DLG_MASTER_NAME, nullptr, e2e::QuietDialog, 0);
        remove_ = CreateDialogParamA(AppInstance, DLG_REMOVE_NAME, nullptr, e2e::QuietDialog, 0);
        ASSERT_NE(nullptr, master_);
        ASSERT_NE(nullptr, remove_);
    }
    void TearDown() override {
        DestroyWindow(master_);
        DestroyWindow(remove_);
    }
    static std::string Text(HWND dialog, int id) {
        char text[1024] = {};
        GetDlgItemTextA(dialog, id, text, sizeof(text));
        return text;
    }
    HWND master_ = nullptr, remove_ = nullptr;
};

TEST_F(OnTheTemplates, StatusLinesFormatTheirArguments) {
    SetWizardStatus(master_, "Copying %s", "kq_res\\bground.tga");
    EXPECT_EQ("Copying kq_res\\bground.tga", Text(master_, IDC_STATUS));
    SetRemoveStatus(remove_, "Removing Registry Entry %s", "Vexelworks");
    EXPECT_EQ("Removing Registry Entry Vexelworks", Text(remove_, IDC_REMOVE_TEXT));
    SetWizardStatus(master_, "");
    EXPECT_EQ("", Text(master_, IDC_STATUS));
}

TEST_F(OnTheTemplates, TheLongestSystemTextFitsAndLongerTextsAreCutAt127) {
    const char* prompt =
        "This will completely remove Quorvane demo 4 from your system.  Click OK to proceed...";
    SetRemoveStatus(remove_, prompt);
    EXPECT_EQ(prompt, Text(remove_, IDC_REMOVE_TEXT));
    const std::string name(300, 'n');
    SetWizardStatus(master_, "Copying %s", name.c_str());
    EXPECT_EQ(("Copying " + name).substr(0, 127), Text(master_, IDC_STATUS));
    SetWizardStatus(master_, "%s", std::string(127, 'a').c_str());
    EXPECT_EQ(std::string(127, 'a'), Text(master_, IDC_STATUS));
}

TEST_F(OnTheTemplates, ASecondBitmapOnAControlDeletesTheFirst) {
    HWND button = GetDlgItem(master_, IDC_INSTALL);
    ASSERT_EQ(0, SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0)) << "the template sets no image";
    SetButtonBitmap(master_, IDC_INSTALL, "VEXELBUTTON", 32, 32);
    HGDIOBJ first = reinterpret_cast<HGDIOBJ>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(OBJ_BITMAP, static_cast<int>(GetObjectType(first)));
    SetButtonBitmap(master_, IDC_INSTALL, "VEXELBUTTON", 32, 32);
    HGDIOBJ second = reinterpret_cast<HGDIOBJ>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_NE(first, second);
    EXPECT_EQ(0u, GetObjectType(first)) << "the first bitmap was deleted";

    HWND picture = GetDlgItem(master_, IDC_PICTURE);
    HGDIOBJ fromTemplate = reinterpret_cast<HGDIOBJ>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(nullptr, fromTemplate) << "the template loads the picture";
    SetStaticBitmap(master_, IDC_PICTURE, "QUORVANE", 640, 480);
    HGDIOBJ section = reinterpret_cast<HGDIOBJ>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    DIBSECTION info{};
    EXPECT_EQ(static_cast<int>(sizeof(info)), GetObjectA(section, sizeof(info), &info)) << "a DIB section";
    EXPECT_EQ(640, info.dsBm.bmWidth);
    EXPECT_EQ(0u, GetObjectType(fromTemplate)) << "the template's bitmap was deleted";
}

TEST_F(OnTheTemplates, AMissingBitmapLeavesTheControlAsItWas) {
    SetButtonBitmap(master_, IDC_EXIT, "VEXELBUTTON", 32, 32);
    HWND exitButton = GetDlgItem(master_, IDC_EXIT);
    const LRESULT before = SendMessageA(exitButton, BM_GETIMAGE, IMAGE_BITMAP, 0);
    SetButtonBitmap(master_, IDC_EXIT, "NO_SUCH_BITMAP", 32, 32);
    EXPECT_EQ(before, SendMessageA(exitButton, BM_GETIMAGE, IMAGE_BITMAP, 0));
}

TEST(FreeIdList, FreesAListThatTheShellAllocated) {
    LPITEMIDLIST list = nullptr;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_WINDOWS, &list));
    IMalloc* allocator = nullptr;
    ASSERT_EQ(S_OK, SHGetMalloc(&allocator));
    EXPECT_EQ(1, allocator->DidAlloc(list));
    FreeIdList(list);
    EXPECT_EQ(0, allocator->DidAlloc(list)) << "the list is freed";
    allocator->Release();
}

}  // namespace
