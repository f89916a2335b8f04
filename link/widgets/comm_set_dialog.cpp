// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/widgets/comm_set_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QSpinBox>

#include <algorithm>
#include <array>

#include "link/serial/port_device.h"
#include "link/widgets/memo_text.h"
#include "records/io_error.h"
#include "widgets/control_pictures.h"
#include "widgets/text_codec.h"

namespace quillmar {
namespace {

// A text the dialog cannot store keeps its place visibly wrong rather than
// vanishing from the settings.
std::string lossyBytes(const QString& text) {
  std::string bytes;
  for (const QChar c : text) {
    const auto byte = visibleTextToCp1251(QStringView(&c, 1));
    bytes.append(byte ? *byte : std::string("?"));
  }
  return bytes;
}

const QString kFlowKey = QStringLiteral("link/flowControl");
const QString kLinePauseKey = QStringLiteral("link/linePauseMs");

// The entries of the flow control box, in the order of FlowChoice.
const QStringList kFlowTexts{QStringLiteral("Нет"), QStringLiteral("RTS/CTS"), QStringLiteral("XON/XOFF")};
constexpr int kListedComPorts = 4;

}  // namespace

TCommSet::TCommSet(QWidget* parent, QString settingsPath, DialogSeam& seam, std::unique_ptr<QSettings> userSettings)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      settingsPath_(std::move(settingsPath)),
      seam_(seam),
      userSettings_(std::move(userSettings)) {
  setWindowTitle(QStringLiteral("Настройки"));
  setModal(true);
  auto* grid = new QGridLayout(this);
  const CommSettings creation = creationCommSettings();
  ComboBox1 =
      addComboBox(QStringLiteral("Порт"), {"COM1", "COM2", "COM3", "COM4"}, cp1251ToVisibleText(creation.portText), 0);
  ComboBox2 = addComboBox(QStringLiteral("Baudrate"),
                          {"1200", "2400", "4800", "9600", "19200", "38400", "300", "600", "57600", "115200"},
                          cp1251ToVisibleText(creation.baudText), 1);
  ComboBox3 = addComboBox(QStringLiteral("ByteSize"), {"7", "8"}, cp1251ToVisibleText(creation.byteSizeText), 2);
  ComboBox4 = addComboBox(QStringLiteral("Stopbit"), {"ONESTOPBIT", "TWOSTOPBIT"},
                          cp1251ToVisibleText(creation.stopBitText), 3);
  ComboBox5 = addComboBox(QStringLiteral("Parity"), {"NOPARITY", "EVENPARITY", "ODDPARITY", "MARKPARITY"},
                          cp1251ToVisibleText(creation.parityText), 4);
  addPortsFoundOnMachine();

  ComboBox6 = new QComboBox(this);
  ComboBox6->addItems(kFlowTexts);
  auto* flowCaption = new QLabel(QStringLiteral("Управление потоком"), this);
  flowCaption->setBuddy(ComboBox6);
  grid->addWidget(flowCaption, 5, 0);
  grid->addWidget(ComboBox6, 5, 1);
  SpinBox1 = new QSpinBox(this);
  SpinBox1->setRange(kLinePauseMinMs, kLinePauseMaxMs);
  SpinBox1->setSingleStep(10);
  SpinBox1->setSuffix(QStringLiteral(" мс"));
  auto* pauseCaption = new QLabel(QStringLiteral("Пауза после строки"), this);
  pauseCaption->setBuddy(SpinBox1);
  grid->addWidget(pauseCaption, 6, 0);
  grid->addWidget(SpinBox1, 6, 1);

  OkButton = new QPushButton(QStringLiteral("OK"), this);
  CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
  OkButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CancelButton);
  buttons->addStretch();
  buttons->addWidget(OkButton);
  grid->addLayout(buttons, 7, 0, 1, 2);
  setTabOrder(OkButton, CancelButton);
  setTabOrder(CancelButton, ComboBox1);
  for (auto [from, to] : std::array<std::pair<QWidget*, QWidget*>, 6>{{{ComboBox1, ComboBox2},
                                                                       {ComboBox2, ComboBox3},
                                                                       {ComboBox3, ComboBox4},
                                                                       {ComboBox4, ComboBox5},
                                                                       {ComboBox5, ComboBox6},
                                                                       {ComboBox6, SpinBox1}}}) {
    setTabOrder(from, to);
  }
  connect(OkButton, &QPushButton::clicked, this, &TCommSet::OkClick);
  connect(CancelButton, &QPushButton::clicked, this, &TCommSet::CancelClick);
  setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
  loadSettings();
  loadPacing();
}

TCommSet::~TCommSet() = default;

QComboBox* TCommSet::addComboBox(const QString& label, const QStringList& entries, const QString& text, int row) {
  auto* grid = static_cast<QGridLayout*>(layout());
  auto* box = new QComboBox(this);
  box->setEditable(true);
  box->setLineEdit(new ControlPictureLineEdit(box));
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(entries);
  box->setCurrentIndex(-1);
  box->setEditText(text);
  auto* caption = new QLabel(label, this);
  caption->setBuddy(box);
  grid->addWidget(caption, row, 0);
  grid->addWidget(box, row, 1);
  return box;
}

// USB adapters and other ports of this machine follow the four COM entries;
// they are looked up again at every showing, so that an adapter plugged in
// later is offered. The text in the box stays as it is.
void TCommSet::addPortsFoundOnMachine() {
  const QString text = ComboBox1->currentText();
  while (ComboBox1->count() > kListedComPorts) ComboBox1->removeItem(ComboBox1->count() - 1);
  QStringList listed;
  for (int i = 0; i < ComboBox1->count(); ++i) listed << portDevicePath(ComboBox1->itemText(i));
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
    if (listed.contains(port.systemLocation())) continue;
    listed << port.systemLocation();
    ComboBox1->addItem(port.portName());
  }
  ComboBox1->setCurrentIndex(-1);
  ComboBox1->setEditText(text);
}

void TCommSet::loadSettings() {
  CommSettings settings = currentSettings();
  try {
    loadCommSettings(QFile::encodeName(settingsPath_).toStdString(), settings);
  } catch (const IoError& error) {
    seam_.showError(this, QString::fromStdString(error.what()));
    return;
  }
  showTexts(settings);
}

void TCommSet::showTexts(const CommSettings& settings) {
  ComboBox1->setEditText(cp1251ToVisibleText(settings.portText));
  ComboBox2->setEditText(cp1251ToVisibleText(settings.baudText));
  ComboBox3->setEditText(cp1251ToVisibleText(settings.byteSizeText));
  ComboBox4->setEditText(cp1251ToVisibleText(settings.stopBitText));
  ComboBox5->setEditText(cp1251ToVisibleText(settings.parityText));
}

// A value that is missing or not one of ours leaves the default.
void TCommSet::loadPacing() {
  if (!userSettings_) return;
  const auto flow = flowChoiceOfWord(userSettings_->value(kFlowKey).toString().toStdString());
  ComboBox6->setCurrentIndex(static_cast<int>(flow.value_or(FlowChoice::None)));
  const auto pause = linePauseOfText(userSettings_->value(kLinePauseKey).toString().toStdString());
  SpinBox1->setValue(pause.value_or(0));
}

bool TCommSet::storePacing() {
  if (!userSettings_) return true;
  const LinkPacing pacing = currentPacing();
  userSettings_->setValue(kFlowKey, QString::fromLatin1(flowChoiceWord(pacing.flow)));
  userSettings_->setValue(kLinePauseKey, pacing.linePauseMs);
  userSettings_->sync();
  if (userSettings_->status() == QSettings::NoError) return true;
  seam_.showError(this, userSettings_->fileName() + QStringLiteral(": ") +
                            QString::fromStdString(ioErrorText(io_code::kAccessDenied)));
  return false;
}

void TCommSet::showSettings() {
  addPortsFoundOnMachine();
  OkButton->setFocus();
  exec();
}

CommSettings TCommSet::currentSettings() const {
  return {lossyBytes(ComboBox1->currentText()), lossyBytes(ComboBox2->currentText()),
          lossyBytes(ComboBox3->currentText()), lossyBytes(ComboBox4->currentText()),
          lossyBytes(ComboBox5->currentText())};
}

QString TCommSet::currentPortText() const { return ComboBox1->currentText(); }

LinkPacing TCommSet::currentPacing() const {
  return {static_cast<FlowChoice>(std::max(0, ComboBox6->currentIndex())), SpinBox1->value()};
}

bool TCommSet::readTexts(CommSettings& settings) {
  const std::array<std::pair<QComboBox*, std::string*>, 5> fields{{
      {ComboBox1, &settings.portText},
      {ComboBox2, &settings.baudText},
      {ComboBox3, &settings.byteSizeText},
      {ComboBox4, &settings.stopBitText},
      {ComboBox5, &settings.parityText},
  }};
  for (const auto& [box, text] : fields) {
    QChar unmapped;
    const auto bytes = visibleTextToCp1251(box->currentText(), &unmapped);
    if (!bytes) {
      seam_.showError(this, QStringLiteral("Символ «%1» в тексте «%2» нельзя сохранить в кодировке Windows-1251.")
                                .arg(unmapped, box->currentText()));
      box->setFocus();
      return false;
    }
    *text = *bytes;
  }
  return true;
}

void TCommSet::OkClick() {
  CommSettings settings;
  if (!readTexts(settings)) return;
  try {
    storeCommSettings(QFile::encodeName(settingsPath_).toStdString(), settings);
  } catch (const IoError& error) {
    seam_.showError(this, QString::fromStdString(error.what()));
    return;
  }
  if (!storePacing()) return;
  accept();
}

void TCommSet::CancelClick() { reject(); }

}  // namespace quillmar
