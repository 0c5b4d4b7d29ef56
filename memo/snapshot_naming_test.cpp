#include "memo/snapshot_naming.h"

#include <gtest/gtest.h>

#include "records/document_state.h"

namespace {

TEST(SnapshotNames, EveryFileOfAnInstanceGivesItsIdBack) {
    const std::wstring id = FormatInstanceId(0x1A2B, 0x01DC0123456789ABull);
    EXPECT_EQ(id, L"00001A2B01DC0123456789AB");
    for (SnapshotFile file : {SnapshotFile::Image, SnapshotFile::ImageTemp, SnapshotFile::Place,
                              SnapshotFile::PlaceTemp, SnapshotFile::Lock}) {
        EXPECT_EQ(SnapshotIdOf(SnapshotFileName(id, file)), id);
    }
    EXPECT_EQ(SnapshotFileName(id, SnapshotFile::Image), L"Recovery-" + id + L".png");
    EXPECT_EQ(SnapshotIdOf(L"Recovery-0A.PNG"), L"0A");
}

TEST(SnapshotNames, OtherFilesAreNoSnapshots) {
    for (const wchar_t* name :
         {L"Settings.txt", L"bak", L"Recovery-.png", L"Recovery-0a.png", L"Recovery-0A.png.old",
          L"Recovery-0A", L"recovery-0A.png", L"Recovery-0A-1.png", L"Recovery-0A.lock.txt"}) {
        EXPECT_EQ(SnapshotIdOf(name), L"") << name;
    }
}

TEST(SnapshotPlace, TheFolderComesBackAsItWasWritten) {
    for (const std::wstring folder : {L"C:\\users\\me\\Desktop", L"D:\\メモ\\100%", L"D:"}) {
        EXPECT_EQ(DecodeSnapshotPlace(EncodeSnapshotPlace(folder)), folder);
    }
}

TEST(SnapshotPlace, BytesThatCannotBeAFolderGiveNone) {
    EXPECT_EQ(DecodeSnapshotPlace({}), L"");
    EXPECT_EQ(DecodeSnapshotPlace({'D', 0, ':'}), L""); // torn in a character
    EXPECT_EQ(DecodeSnapshotPlace({'D', 0, 0, 0, 'x', 0}), L"");
    const std::wstring longest(FOLDER_CAPACITY - 1, L'a');
    EXPECT_EQ(DecodeSnapshotPlace(EncodeSnapshotPlace(longest)), longest);
    EXPECT_EQ(DecodeSnapshotPlace(EncodeSnapshotPlace(longest + L"a")), L"");
}

} // namespace
