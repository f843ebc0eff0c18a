// The star pictures' accessors, against a Resources folder that the test controls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

#include <filesystem>
#include <fstream>

#include "engine/Pictures.h"
#include "framework/Application.h"
#include "framework/Gate.h"
#include "ui/Startup.h"

namespace fs = std::filesystem;

namespace {

fs::path Resources() { return fs::path(QCoreApplication::applicationDirPath().toStdString()).parent_path() / "Resources"; }

void WritePicture(const char* name, int size, QRgb colour) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(colour);
    ASSERT_TRUE(img.save(QString::fromStdString((Resources() / name).string()), "PNG"));
}

void WriteJunk(const char* name) { std::ofstream(Resources() / name) << "not a picture"; }

// The accessors keep their pictures for the life of the process, so the whole story
// is told in one test, in order.
TEST(Pictures, LoadOnceRetryWhileMissingAndStayIndependent) {
    fw::Gate::Hold hold;
    RegisterClasses();
    NewAppInstance();
    fs::remove_all(Resources());

    // No resources folder: nil at every call, and the next call tries again.
    EXPECT_EQ(AR1(), nullptr);
    EXPECT_EQ(AR1(), nullptr);

    fs::create_directories(Resources());
    WriteJunk("AR1.PICT");
    EXPECT_EQ(AR1(), nullptr);  // not a picture
    WritePicture("AR1.PICT", 7, qRgb(0, 0, 255));
    WritePicture("Blank.PICT", 7, qRgb(193, 219, 211));
    const fw::Ref<fw::Picture> ar1 = AR1();
    ASSERT_NE(ar1, nullptr);
    EXPECT_EQ(ar1->Width(), 7);

    // Loaded: the same object from then on, whatever becomes of the file.
    fs::remove(Resources() / "AR1.PICT");
    EXPECT_EQ(AR1(), ar1);
    WritePicture("AR1.PICT", 9, qRgb(1, 1, 1));
    EXPECT_EQ(AR1(), ar1);

    // Blank reads its file once, however often it is called.
    const fw::Ref<fw::Picture> blank = Blank();
    ASSERT_NE(blank, nullptr);
    fs::remove(Resources() / "Blank.PICT");
    EXPECT_EQ(Blank(), blank);
    EXPECT_EQ(Blank(), blank);

    // The others are independent: a missing or broken file leaves them nil alone.
    EXPECT_EQ(AR2(), nullptr);
    WriteJunk("AR3.PICT");
    EXPECT_EQ(AR3(), nullptr);
    WritePicture("AR2.PICT", 7, qRgb(0, 150, 0));
    EXPECT_NE(AR2(), nullptr);
    EXPECT_EQ(AR3(), nullptr);
    EXPECT_EQ(AR1(), ar1);
    fs::remove_all(Resources());
}

}  // namespace
