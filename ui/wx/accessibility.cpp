#include "ui/wx/accessibility.h"

#include <gtk/gtk.h>
#include <wx/dataview.h>

namespace vantrel {
namespace {

// The widget that takes the focus: a list's tree view, not its scrolled
// window.
GtkWidget* FocusWidgetOf(wxWindow* control) {
    if (auto* list = dynamic_cast<wxDataViewCtrl*>(control)) return list->GtkGetTreeView();
    return control->GetHandle();
}

void SetAccessibleName(GtkWidget* widget, const wxString& name) {
    if (AtkObject* accessible = gtk_widget_get_accessible(widget)) atk_object_set_name(accessible, name.utf8_str());
}

}  // namespace

void SetAccessibleName(wxWindow* control, const wxString& name) {
    GtkWidget* widget = control == nullptr ? nullptr : FocusWidgetOf(control);
    if (widget == nullptr) return;
    SetAccessibleName(widget, name);
    // A list's scrolled window takes the focus on its way in too.
    if (widget != control->GetHandle()) SetAccessibleName(control->GetHandle(), name);
}

void LinkCaption(wxWindow* caption, wxWindow* control) {
    GtkWidget* label = caption == nullptr ? nullptr : caption->GetHandle();
    if (label != nullptr && GTK_IS_FRAME(label)) label = gtk_frame_get_label_widget(GTK_FRAME(label));
    if (label == nullptr || !GTK_IS_LABEL(label)) return;
    GtkWidget* target = control == nullptr ? nullptr : FocusWidgetOf(control);
    if (gtk_label_get_mnemonic_widget(GTK_LABEL(label)) != target) gtk_label_set_mnemonic_widget(GTK_LABEL(label), target);
}

}  // namespace vantrel
