// The chooser items of the track modes, with their hints as the users know them.
#include "charts/track_modes.h"

namespace lp::charts {

const QList<TrackModeItem>& trackModeItems() {
    static const QList<TrackModeItem> items{
        {QStringLiteral("Normal"), TrackMode::None, QStringLiteral("Normal mode"), false},
        {QStringLiteral("PanXY"), TrackMode::PanXY,
         QStringLiteral("Clique em alguma parte da área de renderização e arraste para expandir o "
                        "gráfico horizontal e verticalmente."),
         false},
        {QStringLiteral("PanX"), TrackMode::PanX,
         QStringLiteral("Clique em alguma parte da área de renderização e arraste para expandir o "
                        "gráfico horizontalmente."),
         false},
        {QStringLiteral("PanY"), TrackMode::PanY,
         QStringLiteral("Clique em alguma parte da área de renderização e arraste para expandir o "
                        "gráfico verticalmente."),
         false},
        {QStringLiteral("ZoomXY"), TrackMode::ZoomXY,
         QStringLiteral("Selecione uma região do gráfico para aumentar o zoom horizontal e "
                        "verticalmente."),
         false},
        {QStringLiteral("ZoomX"), TrackMode::ZoomX,
         QStringLiteral("Selecione uma região do gráfico para aumentar o zoom horizontalmente."),
         false},
        {QStringLiteral("ZoomY"), TrackMode::ZoomY,
         QStringLiteral("Selecione uma região do gráfico para aumentar o zoom verticalmente."),
         false},
        {QStringLiteral("Reset"), TrackMode::None, QString(), true},
    };
    return items;
}

}  // namespace lp::charts
