// Takes the pictures of the help manual: the main window with a small measurement set, the
// dialogs, the name-list windows on a class roster and the CSV windows, drawn on test doubles
// in a temporary program folder. Run by scripts/help-screenshots.sh under a virtual display.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "DialogsDouble.h"
#include "G_Const.h"
#include "G_Param.h"
#include "NameListFile.h"
#include "NameListGrid.h"
#include "ProductInfo.h"
#include "ProgramLook.h"
#include "RecordFile.h"
#include "SerialPortDouble.h"
#include "ServiceDoubles.h"
#include "SummaryReport.h"
#include "TestProgramFolder.h"
#include "frmAbout.h"
#include "frmComSet.h"
#include "frmHelp.h"
#include "frmJournal.h"
#include "frmLabelSet.h"
#include "frmMain.h"
#include "frmNameCall.h"
#include "frmNameList.h"
#include "frmPreview.h"
#include "frmProgressBar.h"
#include "frmSummary.h"
#include "frmUserSet.h"
#include "mdlPublicWriteFunc.h"
#include "mdlStandard.h"

namespace {
struct Person {
    const char* name;
    const char* group;
    const char* number;
    const char* height;
    const char* weight;
};

// One class: the measurement set and the roster it came from. No. 3 is not measured yet.
const Person kClass[] = {
    {"青木 花子", "1組", "1", "152.3", "44.8"}, {"石井 太郎", "1組", "2", "160.8", "52.1"},
    {"上田 さくら", "1組", "3", "", ""},        {"遠藤 健太", "1組", "4", "158.4", "49.6"},
    {"小川 美咲", "1組", "5", "149.7", "41.3"}, {"加藤 翔", "1組", "6", "163.2", "55.0"}};
constexpr char kRosterFile[] = "2026年1年1組.nml";

MeasureRecord Measured(const Person& p) {
    MeasureRecord r;
    r.SubLabel1 = QString::fromUtf8(p.name);
    r.SubLabel2 = QString::fromUtf8(p.group);
    r.SubLabel3 = QString::fromUtf8(p.number);
    if (*p.height) {
        const QString height = QString::fromUtf8(p.height);
        const QString weight = QString::fromUtf8(p.weight);
        const WeightIndices idx = ComputeWeightIndices(height, weight);
        r.Values.Height = height;
        r.Values.Weight = weight;
        r.Values.Bmi = idx.Bmi;
        r.Values.BmiStdWeight = idx.BmiStdWeight;
        r.Values.HibiStdWeightMale = idx.HibiStdWeightMale;
        r.Values.HibiStdWeightFemale = idx.HibiStdWeightFemale;
        r.Values.HibiObesityMale = idx.HibiObesityMale;
        r.Values.HibiObesityFemale = idx.HibiObesityFemale;
    }
    return r;
}

void WriteExampleSet(const QString& recordFile) {
    MeasureRecord header;
    header.SubLabel1 = QStringLiteral("春の身体測定");
    header.SubLabel2 = QStringLiteral("2026/04/10");
    header.SubLabel3 = QStringLiteral("保健室 佐藤");
    MeasureRecord captions;
    captions.SubLabel1 = QStringLiteral("氏名");
    captions.SubLabel2 = QStringLiteral("組");
    captions.SubLabel3 = QStringLiteral("出席番号");
    QList<MeasureRecord> records{header, captions};
    for (const Person& p : kClass) records << Measured(p);
    if (!RecordFile::Replace(recordFile, records)) qWarning("could not write the measurement set");
}

// The class as a name list, and two more lists for the chooser.
bool WriteExampleNameLists() {
    QList<NameListEntry> roster;
    for (const Person& p : kClass)
        roster << NameListEntry{
            {QString::fromUtf8(p.name), QString::fromUtf8(p.group), QString::fromUtf8(p.number)}};
    const QList<NameListEntry> staff{
        {{QStringLiteral("佐藤 恵子"), QStringLiteral("養護教諭"), QString()}},
        {{QStringLiteral("高橋 誠"), QStringLiteral("1年主任"), QString()}}};
    bool ok = true;
    ok &= WriteNameListFile(G_Param.NameListFolder + QString::fromUtf8(kRosterFile), roster);
    ok &= WriteNameListFile(G_Param.NameListFolder + QStringLiteral("2026年1年2組.nml"), roster);
    ok &= WriteNameListFile(G_Param.NameListFolder + QStringLiteral("教職員.nml"), staff);
    if (!ok) qWarning("could not write the name lists");
    return ok;
}

void WriteUserSettings() {
    G_Param.CommSettings = QStringLiteral("4800,E,8,1");
    G_Param.PortNumber = 1;
    G_Param.OperationMode = 1;
    G_Param.AutoWriteOn = 1;
    G_Param.AutoWriteDelay = 2;
    WriteSettings();
    const QString app = G_Param.AppFolder;
    G_Param = GlobalParams{};
    G_Param.SetFolders(app);
}

// Two classes of 中1 for the summary: heights and weights spread so that every class of
// the judgement appears.
void WriteSummarySet(const QString& recordFile) {
    static const char* const kNames[] = {"青木", "石井", "上田", "遠藤", "小川", "加藤",
                                         "木村", "工藤", "近藤", "斎藤", "佐野", "清水",
                                         "須藤", "関",   "高橋", "田中"};
    MeasureRecord header;
    header.SubLabel1 = QStringLiteral("春の身体測定");
    header.SubLabel2 = QStringLiteral("2026年4月10日");
    header.SubLabel3 = QStringLiteral("保健室 佐藤");
    MeasureRecord captions;
    captions.SubLabel1 = QStringLiteral("氏名");
    captions.SubLabel2 = QStringLiteral("性別");
    captions.SubLabel3 = QStringLiteral("組");
    QList<MeasureRecord> records{header, captions};
    static const double kDegrees[] = {0.02,  -0.08, 0.12,  -0.22, 0.05, 0.24,  -0.03, 0.36,
                                      -0.12, 0.08,  -0.33, 0.55,  0.15, -0.05, 0.01,  0.18};
    for (int k = 0; k < 32; ++k) {
        MeasureRecord r;
        const bool boy = k % 2 == 0;
        r.SubLabel1 = QString::fromUtf8(kNames[k % 16]) +
                      (boy ? QStringLiteral(" 太郎") : QStringLiteral(" 花子"));
        r.SubLabel2 = boy ? QStringLiteral("男") : QStringLiteral("女");
        r.SubLabel3 = k < 16 ? QStringLiteral("1組") : QStringLiteral("2組");
        const double height = 142.0 + (k * 7 % 23);
        const double standard = boy ? 0.783 * height - 75.642 : 0.796 * height - 76.934;
        r.Values.Height = QString::number(height, 'f', 1);
        r.Values.Weight = QString::number(standard * (1 + kDegrees[(k * 5) % 16]), 'f', 1);
        r.Values.SittingHeight = QString::number(height * 0.535, 'f', 1);
        records << r;
    }
    if (!RecordFile::Replace(recordFile, records)) qWarning("could not write the summary set");
}

class NoDisplay : public DisplayControl {
public:
    void RefreshDisplay() override {}
    void ApplyModeLayout() override {}
};

bool Save(QWidget& window, const QDir& out, const QString& name) {
    window.show();
    window.raise();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QTest::qWait(200);  // let fonts and layouts settle before the picture
    const bool saved = window.grab().save(out.filePath(name + QStringLiteral(".png")));
    if (!saved) qWarning("could not save %s", qPrintable(name));
    window.hide();
    return saved;
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PrepareApplication(app);
    if (argc < 2) {
        qWarning("usage: hakaron-help-shots OUTPUT_FOLDER");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) return 1;

    TestProgramFolder folder;
    WriteUserSettings();
    WriteExampleSet(folder.RecordFile());
    SerialPortDouble port;
    DialogsDouble dialogs;
    ClockDouble clock;
    BeeperDouble beeper;
    InstanceLockDouble lock;
    DeviceInventoryDouble inventory;
    inventory.Devices = {{QStringLiteral("USB\\VID_0403&PID_6001"),
                          QStringLiteral("USB Serial Port (COM1)"),
                          QStringLiteral("/dev/ttyUSB0")}};
    ShellDouble shell;
    const Platform platform{folder.Path(), &port, &dialogs,   &clock,
                            &beeper,       &lock, &inventory, &shell};

    bool ok = true;
    frmMain main(platform);
    main.Form_Load();
    main.txtNumber->setText(QStringLiteral("3"));
    main.show();
    QTest::qWait(100);
    port.Receive(QByteArray("\x02SY0  148.6\x03"));
    port.Receive(QByteArray("\x02TZ0   41.2\x03"));
    QTest::qWait(500);  // the display timer shows the readings
    main.AwTimer->stop();
    ok &= Save(main, out, QStringLiteral("main"));
    main.show();
    // The cable pulled: the notice above the values.
    port.Vanish();
    QTest::qWait(300);
    ok &= Save(main, out, QStringLiteral("notice"));
    main.LinkBack();
    main.AwTimer->stop();
    {
        frmJournal journal(dialogs, main.Journal(), main, &main);
        journal.resize(640, 360);
        ok &= Save(journal, out, QStringLiteral("journal"));
    }
    main.show();

    NoDisplay display;
    frmUserSet userSet(dialogs, display, &main);
    ok &= Save(userSet, out, QStringLiteral("usersetting"));
    frmLabelSet labelSet(dialogs, clock, display, &main);
    ok &= Save(labelSet, out, QStringLiteral("labelsetting"));
    frmComSet comSet(port, inventory, dialogs, &main);
    ok &= Save(comSet, out, QStringLiteral("commsetting"));
    frmAbout about(ConfiguredProductInfo(), &main);
    ok &= Save(about, out, QStringLiteral("about"));
    frmHelp help(shell, &main);
    ok &= Save(help, out, QStringLiteral("help"));
    // Every page of the manual as the help window shows it, for looking over.
    for (const char* page :
         {"daily", "connect", "meter", "namelist", "csv", "settings", "messages", "files"}) {
        const QString name = QString::fromLatin1(page);
        help.txtHelp->setSource(QUrl(QStringLiteral("qrc:/help/%1.html").arg(name)));
        ok &= Save(help, out, QStringLiteral("help-") + name);
    }

    // The name-list windows on the roster of the class.
    ok &= WriteExampleNameLists();
    {
        G_Param.ChosenFileName = QString::fromUtf8(kRosterFile);
        frmNameList editor(dialogs, &main);
        ok &= editor.Loaded();
        editor.fgdView->SetCurrent(2, 1);
        editor.fgdView->setFocus();
        ok &= Save(editor, out, QStringLiteral("namelist"));
    }
    for (const NameCallPurpose purpose : {NameCallPurpose::Edit, NameCallPurpose::Load}) {
        frmNameCall chooser(purpose, dialogs, display, &main);
        chooser.filNameCall->setCurrentRow(0);  // the roster, first by name
        ok &= Save(chooser, out,
                   purpose == NameCallPurpose::Edit ? QStringLiteral("namecall")
                                                    : QStringLiteral("nameload"));
    }

    // The CSV save half-way, without running it, and the list of the measurement set.
    {
        auto* progress = new frmProgressBar(dialogs, &main);
        progress->SetProgressRangeFromRecordFile();
        progress->SetProgressValue(5);
        ok &= Save(*progress, out, QStringLiteral("csvprogress"));
        progress->deleteLater();
    }
    {
        frmPreview preview(display, &main);
        // Narrower than it opens, to fit the help window: the grid ends after the sitting
        // height, and its scroll bar shows that more columns follow.
        preview.resize(627, 300);
        ok &= Save(preview, out, QStringLiteral("preview"));
    }

    {
        WriteSummarySet(G_Param.RecordFilePath());
        frmSummary summary(dialogs, G_Param.WorkFolder, &main);
        summary.spnAge->setValue(12);
        summary.cboGroupItem->setCurrentIndex(3);
        summary.resize(1000, 640);
        ok &= Save(summary, out, QStringLiteral("summary"));
        ok &=
            ReportFirstPage(summary.Summary(), 80).save(out.filePath(QStringLiteral("report.png")));
    }

    QMessageBox question(QMessageBox::NoIcon, G_Const::ProductName,
                         QStringLiteral("編集中のデータが全て消去されますが、よろしいですか？"),
                         QMessageBox::Yes | QMessageBox::No, &main);
    ok &= Save(question, out, QStringLiteral("question"));
    return ok ? 0 : 1;
}
