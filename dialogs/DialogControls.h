#pragma once
// Small helpers shared by the effect dialogs: control ids and the OK/Abbrechen row.
class QBoxLayout;
class QDialog;
class QWidget;

// Every control carries its resource id, as its object name ("1014") and as the property
// "controlId", so code and tests find a control by the id the dialog layout gives it.
void SetControlId(QWidget* pWidget, int nId);

// Finds a child control by its id; null when there is none.
QWidget* FindControl(const QWidget* pDialog, int nId);

// "OK" (id 1, default button, accepts) and "Abbrechen" (id 2, rejects), centred in a row.
QBoxLayout* MakeOkCancelRow(QDialog* pDialog);
