/// \file
/// The "OK" and "ｷｬﾝｾﾙ" row of the settings dialogs, tied to the dialog's
/// accept() and reject().
#pragma once

class QDialog;
class QDialogButtonBox;

namespace zorvik::ui {

QDialogButtonBox* okCancelButtons(QDialog& dialog);

}  // namespace zorvik::ui
