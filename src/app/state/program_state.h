// The state every window shares for one run of the program. Made once at start-up
// and handed to the windows; tests make a fresh one each.
#pragma once

#include <QByteArray>
#include <QString>

#include "link/reading.h"

namespace lp::app {

struct ProgramState {
    // Serial port 1..8 chosen at start-up; 0 until chosen (a path or the simulated
    // meter leaves it 0: those carry their own names).
    qint16 ComPort = 0;

    // The last decoded live frame or stored record.
    link::Reading Reading;

    // Panel sample tick and live windows.
    int SampleTick = 0;
    bool ListOn = false;
    qint32 ListCount = 0;
    bool ChartOn = false;
    bool AnalogOn = false;
    double AnalogHigh = 0.0;
    double AnalogLow = 0.0;

    // PC recording.
    bool RecordingOn = false;
    qint32 RecordCount = 0;

    // Result of the last save dialog of any window.
    QString SaveFileName;
    bool FileChosen = false;

    // Meter memory.
    QByteArray MemoryStatus;
    int SetCount = 0;
    QByteArray SetTable;
    int SelectedSet = 0;
    qint32 SetRecordCount = 0;
    QByteArray MemoryData;

    // Bounds of the last level histogram.
    int HistClassMin = 0;
    int HistClassMax = 0;
    double HistCountMax = 0.0;

    // Record plot parameters, set by whoever opens the plot.
    double PlotValueLimit = 0.0;
    double PlotValueTop = 0.0;
    double PlotValueBottom = 0.0;
    qint64 PlotRecordTotal = 0;
    qint64 PlotRecordCount = 0;
    qint64 PlotRecordFirst = 0;
    qint64 PlotRecordLast = 0;
};

}  // namespace lp::app
