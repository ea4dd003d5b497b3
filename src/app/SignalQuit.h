#pragma once

#include <QObject>

namespace rf {

// Ends the event loop on SIGTERM, SIGINT or SIGHUP, so that the program shuts down as if the user closed
// it (Leave to the devices, the scratch database removed) instead of dying on the spot.
class SignalQuit : public QObject {
    Q_OBJECT

public:
    explicit SignalQuit(QObject* parent = nullptr);
    ~SignalQuit() override;
};

} // namespace rf
