#include "EditorPageStyle.h"

QString EditorPageStyleSheet()
{
    return QStringLiteral(
        "QLineEdit { background: #1e1f22; color: #e0e0e0; border: 1px solid #45484e; border-radius: 3px;"
        " padding: 1px 4px; selection-background-color: #2f7d32; }"
        "QLineEdit:focus { border-color: #3fa34d; }"
        "QLineEdit:read-only { background: #26272a; color: #a8a8a8; }"
        "QLineEdit:disabled { color: #6a6a6a; border-color: #35373b; }"
        "QSlider::groove:horizontal { height: 4px; background: #45484e; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: #3fa34d; border-radius: 2px; }"
        "QSlider::handle:horizontal { background: #d8d8d8; width: 12px; margin: -5px 0; border-radius: 6px; }"
        "QSlider::handle:horizontal:hover, QSlider::handle:horizontal:focus { background: #ffffff; }"
        "QSlider::sub-page:horizontal:disabled { background: #45484e; }"
        "QSlider::handle:horizontal:disabled { background: #5a5d63; }"
        "QToolButton { background: #34363a; border: 1px solid #45484e; border-radius: 2px; }"
        "QToolButton:hover { background: #404348; }"
        "QToolButton:pressed { background: #2f7d32; }"
        "QToolButton:disabled { background: #2b2c2f; }"
        "QCheckBox { color: #d0d0d0; spacing: 6px; }"
        "QCheckBox:disabled { color: #6a6a6a; }"
        "QCheckBox::indicator { width: 14px; height: 14px; border: 1px solid #5a5d63; border-radius: 3px;"
        " background: #1e1f22; }"
        "QCheckBox::indicator:checked { background: #3fa34d; border-color: #3fa34d; }"
        "QGroupBox { color: #c0c0c0; border: 1px solid #3d3f44; border-radius: 4px; margin-top: 10px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }");
}

QString EditorScrollBarStyleSheet()
{
    return QStringLiteral(
        "QScrollArea { background: transparent; }"
        "QScrollBar:vertical { background: #2b2c2f; width: 10px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #5a5d63; min-height: 24px; border-radius: 4px; margin: 1px; }"
        "QScrollBar::handle:vertical:hover { background: #6e7178; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }");
}
