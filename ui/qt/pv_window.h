#pragma once
// The PV window: the engine's principal variation in two columns.

#include <QWidget>

class PvWindow : public QWidget {
    Q_OBJECT
public:
    explicit PvWindow(QWidget* parent = nullptr);
    // The variation was rebuilt: repaint with the background erased.
    void refresh();
};
