#pragma once
// Raw relative mouse motion, read through XInput2 as Linux games do: the counts the mouse itself
// reports, before the desktop's pointer acceleration bends them, so the same hand movement always
// turns the view by the same angle. Owned by the platform input; free of X and Qt types so that
// either side may include it.

#include <memory>

// Sums raw motion between two polls. Whole counts are handed out, fractions carry over to the
// next poll so that slow movements are not lost.
class QRINTARawMotionAccumulator {
public:
    // One raw motion event. relativeSource is false for devices that report positions (tablets,
    // the pointers of virtual machines): their values are no movement.
    void add(double dx, double dy, bool relativeSource);
    // The whole counts since the last take, x right and y down. False when a positioning device
    // moved the pointer meanwhile; the caller then has to measure the cursor instead.
    bool take(int& dx, int& dy);

private:
    double x_ = 0.0;
    double y_ = 0.0;
    bool positioned_ = false;
};

// The raw motion of the master pointers, on an X connection of its own so that reading it never
// disturbs Qt's event queue.
class QRINTAXRawMotion {
public:
    // display is the Xlib display Qt runs on; the connection goes to the same server. Nothing is
    // opened when display is null or the server lacks XInput 2.0.
    explicit QRINTAXRawMotion(void* display);
    ~QRINTAXRawMotion();
    QRINTAXRawMotion(const QRINTAXRawMotion&) = delete;
    QRINTAXRawMotion& operator=(const QRINTAXRawMotion&) = delete;

    bool isOpen() const { return connection_ != nullptr; }
    // The connection's socket, readable when events wait; -1 when not open.
    int getSocket() const;
    // Reads every event that has arrived and adds the motion to into.
    void drain(QRINTARawMotionAccumulator& into);

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};
