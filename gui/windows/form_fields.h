// The main window's controls paired with the members of MainForm that hold
// their values: one table copies the controls into the form before a core
// call and the form back into the controls afterwards.
#pragma once

#include "core/state/main_form.h"

#include <string>
#include <variant>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSlider;

namespace tovimo {

template <class Control, class Value> struct FormField {
    Control* control;
    Value MainForm::*member;
};

using AnyFormField =
    std::variant<FormField<QLineEdit, std::string>, FormField<QLabel, std::string>,
                 FormField<QCheckBox, bool>, FormField<QButtonGroup, int>, FormField<QSlider, int>,
                 FormField<QProgressBar, int>, FormField<QComboBox, int>>;

// The control's value into the form.
void ReadField(const AnyFormField& field, MainForm& form);
// The form's value into the control; an edit keeps its text (and cursor) when
// the value is the same, the progress bar shows values beyond its range at
// its ends.
void ShowField(const AnyFormField& field, const MainForm& form);

} // namespace tovimo
