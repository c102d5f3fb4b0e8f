// The one place that picks a board's behaviour by its kind.
#include "board/board_link_factory.h"

#include "board/links/cameralink_link.h"
#include "board/links/eskra_link.h"
#include "board/links/gige_link.h"
#include "board/links/usb3_link.h"

std::unique_ptr<BoardLink> MakeBoardLink(BoardKind p_Kind)
{
    switch (p_Kind) {
    case BoardKind::Dunstel:
        return std::make_unique<GigELink>();
    case BoardKind::Arvex:
    case BoardKind::Belmor:
    case BoardKind::BelmorPlus:
        return std::make_unique<CameraLinkLink>(p_Kind);
    case BoardKind::Eskra:
        return std::make_unique<EskraLink>();
    case BoardKind::Corvane:
        return std::make_unique<Usb3Link>();
    case BoardKind::None:
        break;
    }
    return nullptr;
}
