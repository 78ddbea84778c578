// The small widgets and helpers of the windows: the up-down control, the dialog filter
// conversion and the button pictures.
#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "ui/button_icons.h"
#include "ui/qt_dialogs.h"
#include "ui/up_down.h"
#include "ui_test_support.h"

namespace pelgrin::test {

namespace {

// Does a file name pass one of a Qt filter's patterns, matched case-sensitively, as a
// file system that tells cases apart would?
bool Passes(const QString& qt_filter, const QString& file_name) {
  const QString patterns = qt_filter.mid(qt_filter.lastIndexOf('(') + 1).chopped(1);
  for (const QString& pattern : patterns.split(' ', Qt::SkipEmptyParts)) {
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern));
    if (re.match(file_name).hasMatch()) return true;
  }
  return false;
}

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void upDownStepsWithinItsRangeWithoutWrapping() {
    for (Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
      QWidget parent;
      QLineEdit edit(&parent);
      UpDown updown(orientation, &parent);
      updown.setGeometry(0, 0, 40, 40);
      updown.SetRange(-2, 2);
      updown.SetAssociate(&edit);
      updown.SetPosition(1);
      parent.show();
      std::vector<UpDown::Direction> clicks;
      updown.SetClickHandler([&](UpDown::Direction d) { clicks.push_back(d); });

      QTest::mouseClick(updown.RaiseButton(), Qt::LeftButton);
      QTest::mouseClick(updown.RaiseButton(), Qt::LeftButton);
      QCOMPARE(edit.text(), QString("2"));
      QCOMPARE(clicks, (std::vector<UpDown::Direction>{UpDown::Direction::kRaised,
                                                       UpDown::Direction::kRaised}));
      for (int i = 0; i < 6; ++i)
        QTest::mouseClick(updown.LowerButton(), Qt::LeftButton);
      QCOMPARE(updown.Position(), -2);
      QCOMPARE(clicks.back(), UpDown::Direction::kLowered);
      // Horizontal: the raising arrow is on the right.
      if (orientation == Qt::Horizontal)
        QVERIFY(updown.RaiseButton()->x() > updown.LowerButton()->x());
    }
  }

  void upDownReadsTheNumberTypedInItsEdit() {
    QWidget parent;
    QLineEdit edit(&parent);
    UpDown updown(Qt::Vertical, &parent);
    updown.SetRange(1, 10);
    updown.SetAssociate(&edit);
    updown.SetPosition(4);
    edit.setText("25");
    QCOMPARE(updown.Position(), 25);  // the number as typed, even outside the range
    updown.Click(UpDown::Direction::kLowered);
    QCOMPARE(edit.text(), QString("9"));  // stepping starts from the range's end
    edit.setText("x7");
    QCOMPARE(updown.Position(), 9);  // not a number: the last position
    updown.SetRange(1, 0);           // an empty file: the range is 1..0
    updown.SetPosition(1);
    updown.Click(UpDown::Direction::kRaised);
    QCOMPARE(updown.Position(), 0);
    updown.Click(UpDown::Direction::kRaised);
    QCOMPARE(updown.Position(), 0);
  }

  void escapeClosesTheProgramsBoxes() {
    QtDialogs dialogs;
    const std::function<void()> boxes[] = {
        [&] { dialogs.Message("Korvane SHP file editor", "About KV Pelgrin"); },
        [&] { dialogs.ErrorBox("Could not open file x."); },
    };
    for (const auto& box : boxes) {
      bool escaped = false;
      bool left_open = false;
      QTimer::singleShot(0, [&] {
        escaped = QApplication::activeModalWidget() != nullptr;
        if (escaped) QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
      });
      // Closes a box that Escape left open, so that the test ends either way.
      QTimer rescue;
      rescue.setSingleShot(true);
      QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (QWidget* open = QApplication::activeModalWidget()) {
          left_open = true;
          open->close();
        }
      });
      rescue.start(3000);
      box();
      QVERIFY(escaped);
      QVERIFY(!left_open);
    }
  }

  void filterListKeepsDescriptionsAndMatchesAnyCase() {
    const QStringList shp = QtFilterList("shp files (*.shp)| *.SHP| All files\t(*.*)|*.*");
    QCOMPARE(shp.size(), 2);
    QVERIFY(shp[0].startsWith("shp files (*.shp) ("));
    QVERIFY(shp[1].startsWith(" All files\t(*.*) ("));
    const struct {
      int filter;
      const char* name;
      bool passes;
    } cases[] = {
        {0, "units.shp", true},      {0, "UNITS.SHP", true},   {0, "Units.Shp", true},
        {0, "units.shp.bak", false}, {0, "readme.txt", false}, {1, "readme.txt", true},
    };
    for (const auto& c : cases)
      QCOMPARE(Passes(shp[c.filter], c.name), c.passes);

    const QStringList two = QtFilterList("Pictures|*.bmp;*.DIB|Text|*.txt");
    QCOMPARE(two.size(), 2);
    QVERIFY(Passes(two[0], "a.dib") && Passes(two[0], "A.BMP") && !Passes(two[0], "a.txt"));
    QCOMPARE(QtFilterList("no pattern"), QStringList());
  }

  void everyButtonHasItsOwnPicture() {
    QList<QImage> seen;
    for (int kind = 0; kind <= static_cast<int>(ButtonPicture::kHeaderFix); ++kind) {
      const QImage normal = DrawButtonPicture(static_cast<ButtonPicture>(kind), false).toImage();
      const QImage disabled = DrawButtonPicture(static_cast<ButtonPicture>(kind), true).toImage();
      QCOMPARE(normal.size(), QSize(32, 32));
      QVERIFY(!seen.contains(normal));
      QVERIFY(normal != disabled);
      seen << normal;
    }
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::WidgetsTest)
#include "widgets_test.moc"
