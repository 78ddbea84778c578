// The header fix window through its buttons and arrows: Show on an image with a negative
// Left and Top, the guides and their stops, Write in place and its refusals, and the
// working state kept from a second drawing while it draws.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "shp/archive_builder.h"
#include "ui/kvfix_form.h"
#include "ui/shp_form.h"
#include "ui/surface_view.h"
#include "ui_test_support.h"

namespace pelgrin::test {

namespace {

using Texts = std::vector<std::string>;

// Image 2: a 12 x 6 frame at Left -5, Top -3, X Offs 5, Y Offs -1, whose two lines are
// eight pixels of 9, then a skip of 2 and one pixel of 9 (measured: 8 x 2).
ImageHeader KvHeader() {
  ImageHeader h = Header(12, 6, -5, -3, 30, 40);
  h.OffsWord = static_cast<std::int32_t>(0xFFFF0005u);
  return h;
}

// A program past its intro with "kv.shp" open (image 1 plain, image 2 the KV icon) and
// the header fix window shown.
TKVFix& StartWithKvArchive(TestProgram& p, int plain_rows = 4) {
  ArchiveImage plain;
  Bytes rows;
  for (int y = 0; y < plain_rows; ++y)
    rows.insert(rows.end(), {8, 7, 0});
  plain.record = Record(Header(4, plain_rows, 0, 0, 3, plain_rows - 1), rows);
  ArchiveImage kv;
  kv.record = Record(KvHeader(), {16, 9, 0, 1, 2, 3, 9, 0});
  WriteFileBytes(p.Path("kv.shp"), BuildArchive({plain, kv}));
  p.Start();
  p.EndIntro();
  p.dialogs.open_answers.push_back(p.Path("kv.shp"));
  p.Main().LoadShpBtnClick();
  p.Main().ImageUpDown->SetPosition(2);
  p.Main().KVFixBtnClick();
  return *p.Ctx().KVFix;
}

QStringList TextsOf(const std::array<QLineEdit*, kHeaderFieldCount>& edits) {
  QStringList texts;
  for (const QLineEdit* e : edits)
    texts << e->text();
  return texts;
}

// Is the guide of magnified column c (row r) drawn? Checked away from the other guide.
bool ColumnGuideAt(const Surface& mag, int c) {
  return mag.GetPixel(3 * c + 1, 60) == kAqua && mag.GetPixel(3 * c + 1, 300) == kAqua;
}
bool RowGuideAt(const Surface& mag, int r) {
  return mag.GetPixel(60, 3 * r + 1) == kAqua && mag.GetPixel(300, 3 * r + 1) == kAqua;
}

}  // namespace

class KVFixTest : public QObject {
  Q_OBJECT

 private slots:
  void showReadsTheHeaderAndDrawsTheGuides() {
    TestProgram p;
    TKVFix& k = StartWithKvArchive(p);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&k, &activate);
    QCOMPARE(k.NameLbl->text(), p.Main().EditLbl->text());
    QCOMPARE(k.NumberLbl->text(), QString("#2"));

    QTest::mouseClick(k.MagShowBtn, Qt::LeftButton);
    const Texts log = p.Log();
    QCOMPARE(Texts(log.end() - 2, log.end()), (Texts{"#2 KV Icon", "cols 8, lines 2"}));
    QCOMPARE(TextsOf(k.OldEdits()), QStringList({"5", "11", "5", "-1", "-5", "-3", "30", "40"}));
    QCOMPARE(TextsOf(k.NewEdits()), QStringList({"5", "11", "5", "-1", "-5", "-3", "2", "-2"}));
    QCOMPARE(k.WidthEdit->text() + "x" + k.HeightEdit->text(), QString("8x2"));
    QVERIFY(k.XUpDown->Position() == -5 && k.YUpDown->Position() == -3);

    // The window shows 3 x 3 cells, guides through the middle of column 5 (x = 16) and
    // row 3 (y = 10), silver beyond the 12 x 6 frame.
    const QImage shown = k.MagImage->grab().toImage();
    const QColor nine(DefaultPalette[9].r, DefaultPalette[9].g, DefaultPalette[9].b);
    const QColor aqua(0, 255, 255);
    const QColor silver(192, 192, 192);
    const QColor pink(BackColor.r, BackColor.g, BackColor.b);
    const struct {
      int x, y;
      QColor color;
    } pixels[] = {{23, 2, nine},   {24, 0, pink},     {3, 3, pink},   {16, 200, aqua},
                  {300, 10, aqua}, {15, 200, silver}, {35, 17, pink}, {36, 17, silver}};
    for (const auto& px : pixels)
      QCOMPARE(shown.pixelColor(px.x, px.y), px.color);
  }

  void rowCaptionsStandRightAlignedBetweenTheirLefts() {
    TestProgram p;
    p.Start();
    const TKVFix& k = *p.Ctx().KVFix;
    const char* captions[] = {"X Size", "Y Size", "X Offs", "Y Offs",
                              "Left",   "Top",    "Right",  "Bottom"};
    int leftmost = 1000;
    for (int n = 0; n < 8; ++n) {
      const auto* label = k.findChild<QLabel*>(QString("Label%1").arg(n + 1));
      QCOMPARE(label->text(), QString(captions[n]));
      QCOMPARE(label->y(), 34 + 32 * n);
      QVERIFY2(label->x() >= 374 && label->x() <= 394, captions[n]);
      leftmost = std::min(leftmost, label->x());
    }
    QCOMPARE(leftmost, 374);
  }

  void arrowsMoveTheGuidesAndStopAtTheDecodedColumns() {
    TestProgram p;
    TKVFix& k = StartWithKvArchive(p);
    k.MagShowBtnClick();
    const Surface& mag = k.MagSurface();
    const struct {
      UpDown* updown;
      bool raise;
      int times;
      int near_edge, far_edge;  // Left and Right, or Top and Bottom, afterwards
    } steps[] = {
        {k.XUpDown, true, 1, -6, 1},  {k.XUpDown, true, 4, -7, 0},    // stops at Right 0
        {k.XUpDown, false, 9, 0, 7},                                  // stops at Left 0
        {k.YUpDown, true, 1, -2, -1}, {k.YUpDown, false, 2, -4, -3},  // no stops
        {k.YUpDown, true, 5, 1, 2},
    };
    int guides[2] = {5, 3};  // column, row
    for (const auto& s : steps) {
      for (int i = 0; i < s.times; ++i)
        QTest::mouseClick(s.raise ? s.updown->RaiseButton() : s.updown->LowerButton(),
                          Qt::LeftButton);
      const bool x = s.updown == k.XUpDown;
      QCOMPARE((x ? k.NewLeftEdit : k.NewTopEdit)->text(), QString::number(s.near_edge));
      QCOMPARE((x ? k.NewRightEdit : k.NewBottomEdit)->text(), QString::number(s.far_edge));
      const int old_guide = guides[x ? 0 : 1];
      guides[x ? 0 : 1] = std::abs(s.near_edge);
      QVERIFY(ColumnGuideAt(mag, guides[0]) && RowGuideAt(mag, guides[1]));
      if (old_guide != guides[x ? 0 : 1])
        QVERIFY(x ? !ColumnGuideAt(mag, old_guide) : !RowGuideAt(mag, old_guide));
    }
    QCOMPARE(mag.GetPixel(16, 1), PackRGB(DefaultPalette[9]));  // erased guides left no trace

    const Surface before = mag;
    k.NewRightEdit->setText("abc");
    QTest::mouseClick(k.XUpDown->RaiseButton(), Qt::LeftButton);
    QCOMPARE(p.dialogs.exceptions, Texts{"'abc' is not a valid integer value"});
    QCOMPARE(k.NewLeftEdit->text(), QString("0"));
    QVERIFY(std::equal(mag.Data(), mag.Data() + kMagWidth * kMagHeight, before.Data()));
  }

  void writeRewritesExactlyTheImagesHeaderBytes() {
    TestProgram p;
    TKVFix& k = StartWithKvArchive(p);
    k.MagShowBtnClick();
    Bytes wanted = ReadFileBytes(p.Path("kv.shp"));
    k.NewXOffsEdit->setText("70000");  // its low 16 bits: 4464
    k.NewYOffsEdit->setText("-1");
    QTest::mouseClick(k.WriteBtn, Qt::LeftButton);

    ImageHeader expected = KvHeader();
    expected.OffsWord = static_cast<std::int32_t>(0xFFFF0000u | 4464u);
    expected.Right = 2;
    expected.Bottom = -2;
    const Bytes header = HeaderBytes(expected);
    std::copy(header.begin(), header.end(), wanted.begin() + p.State().ImageOffsets[1]);
    QVERIFY(ReadFileBytes(p.Path("kv.shp")) == wanted);
    QVERIFY(p.dialogs.errors.empty() && p.dialogs.exceptions.empty());
  }

  void writeRefusesABadNumberOrFieldAndWritesNothing() {
    TestProgram p;
    TKVFix& k = StartWithKvArchive(p);
    const std::string path = p.Path("kv.shp");
    const struct {
      const char* image;
      HeaderFieldIndex field;
      const char* text;
      Texts errors, exceptions;
    } cases[] = {
        {"3", kXSize, "5", {"No image #3 in file " + path + ", nothing written."}, {}},
        {"0", kXSize, "5", {"No image #0 in file " + path + ", nothing written."}, {}},
        {"x", kXSize, "5", {}, {"'x' is not a valid integer value"}},
        {"2", kTop, "1.5", {}, {"'1.5' is not a valid integer value"}},
        {"2", kXSize, "", {}, {"'' is not a valid integer value"}},
        {"2", kBottom, "99999999999", {}, {"'99999999999' is not a valid integer value"}},
    };
    const Bytes before = ReadFileBytes(path);
    for (const auto& c : cases) {
      p.dialogs.errors.clear();
      p.dialogs.exceptions.clear();
      p.Main().ImageEdit->setText(c.image);
      k.NewEdits()[c.field]->setText(c.text);
      QTest::mouseClick(k.WriteBtn, Qt::LeftButton);
      QVERIFY(ReadFileBytes(path) == before);
      QCOMPARE(p.dialogs.errors, c.errors);
      QCOMPARE(p.dialogs.exceptions, c.exceptions);
      k.NewEdits()[c.field]->setText("0");
    }
  }

  void otherWorkWaitsWhileTheWindowDraws() {
    TestProgram p;
    TKVFix& k = StartWithKvArchive(p, 120);
    p.Main().ImageUpDown->SetPosition(1);
    bool disabled_during = false;
    // The drawing lets these through: the main window's Show and this window's Write.
    QTimer::singleShot(0, &k, [&] {
      disabled_during = !k.MagShowBtn->isEnabled() && !k.WriteBtn->isEnabled();
      p.Main().ShowBtnClick();
      k.WriteBtnClick();
    });
    const std::size_t lines_before = p.Log().size();
    const Bytes file_before = ReadFileBytes(p.Path("kv.shp"));
    k.MagShowBtnClick();
    QVERIFY(disabled_during);
    QVERIFY(!p.Ctx().ShpForm->isVisible());
    QCOMPARE(p.Log().size(), lines_before + 1);  // only the window's "cols 4, lines 120"
    QVERIFY(ReadFileBytes(p.Path("kv.shp")) == file_before);
    QVERIFY(k.MagShowBtn->isEnabled() && !p.Ctx().Busy);
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::KVFixTest)
#include "kvfix_form_test.moc"
