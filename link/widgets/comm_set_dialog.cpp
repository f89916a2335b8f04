#include "link/widgets/comm_set_dialog.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>

#include <array>

#include "document/control_pictures.h"
#include "document/text_codec.h"
#include "link/serial/port_device.h"
#include "link/widgets/memo_text.h"
#include "records/io_error.h"

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

}  // namespace

TCommSet::TCommSet(QWidget* parent, QString settingsPath, ShowMessage showMessage)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      settingsPath_(std::move(settingsPath)),
      showMessage_(std::move(showMessage)) {
  setWindowTitle(QStringLiteral("Настройки"));
  setModal(true);
  auto* grid = new QGridLayout(this);
  const CommSettings creation = creationCommSettings();
  ComboBox1 = addComboBox(QStringLiteral("Порт"), {"COM1", "COM2", "COM3", "COM4"},
                          cp1251ToVisibleText(creation.portText), 0);
  ComboBox2 = addComboBox(QStringLiteral("Baudrate"), {"1200", "2400", "4800", "9600", "19200", "38400"},
                          cp1251ToVisibleText(creation.baudText), 1);
  ComboBox3 = addComboBox(QStringLiteral("ByteSize"), {"7", "8"}, cp1251ToVisibleText(creation.byteSizeText), 2);
  ComboBox4 = addComboBox(QStringLiteral("Stopbit"), {"ONESTOPBIT"}, cp1251ToVisibleText(creation.stopBitText), 3);
  ComboBox5 = addComboBox(QStringLiteral("Parity"), {"NOPARITY"}, cp1251ToVisibleText(creation.parityText), 4);
  addPortsFoundOnMachine();

  OkButton = new QPushButton(QStringLiteral("OK"), this);
  CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
  OkButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CancelButton);
  buttons->addStretch();
  buttons->addWidget(OkButton);
  grid->addLayout(buttons, 5, 0, 1, 2);
  setTabOrder(OkButton, CancelButton);
  setTabOrder(CancelButton, ComboBox1);
  for (auto [from, to] : std::array<std::pair<QWidget*, QWidget*>, 4>{
           {{ComboBox1, ComboBox2}, {ComboBox2, ComboBox3}, {ComboBox3, ComboBox4}, {ComboBox4, ComboBox5}}}) {
    setTabOrder(from, to);
  }
  connect(OkButton, &QPushButton::clicked, this, &TCommSet::OkClick);
  connect(CancelButton, &QPushButton::clicked, this, &TCommSet::CancelClick);
  setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
  loadSettings();
}

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

// USB adapters and other ports of this machine follow the four COM entries.
void TCommSet::addPortsFoundOnMachine() {
  QStringList listed;
  for (int i = 0; i < ComboBox1->count(); ++i) listed << portDevicePath(ComboBox1->itemText(i));
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
    if (listed.contains(port.systemLocation())) continue;
    listed << port.systemLocation();
    ComboBox1->addItem(port.portName());
  }
  ComboBox1->setCurrentIndex(-1);
}

void TCommSet::loadSettings() {
  CommSettings settings = currentSettings();
  try {
    loadCommSettings(QFile::encodeName(settingsPath_).toStdString(), settings);
  } catch (const IoError& error) {
    showMessage_(this, QString::fromStdString(error.what()));
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

void TCommSet::showSettings() {
  OkButton->setFocus();
  exec();
}

CommSettings TCommSet::currentSettings() const {
  return {lossyBytes(ComboBox1->currentText()), lossyBytes(ComboBox2->currentText()),
          lossyBytes(ComboBox3->currentText()), lossyBytes(ComboBox4->currentText()),
          lossyBytes(ComboBox5->currentText())};
}

QString TCommSet::currentPortText() const { return ComboBox1->currentText(); }

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
      showMessage_(this, QStringLiteral("Символ «%1» в тексте «%2» нельзя сохранить в кодировке Windows-1251.")
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
    showMessage_(this, QString::fromStdString(error.what()));
    return;
  }
  accept();
}

void TCommSet::CancelClick() { reject(); }

}  // namespace quillmar
