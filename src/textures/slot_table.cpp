#include "textures/slot_table.h"

// The order matters only where a load fails: its slot then repeats the image
// decoded just before it.
const TextureSlotLoad kTextureSlots[] = {
    {"Images/prock.jpg", 4, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/musta.pcx", 2, ImageLoader::Pcx, {0, 0, 0}},
    {"Images/laatat.jpg", 6, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/sky5.jpg", 5, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/metal003.jpg", 3, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/matosini.jpg", 7, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/paperimassa2.jpg", 8, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/paperimassa2sumea.jpg", 9, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/ruskeahko1.jpg", 10, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/vihermaa.jpg", 13, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/sora.jpg", 11, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/grass1.jpg", 12, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/kuivaruoho.jpg", 20, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/siniholekangas.jpg", 14, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/ring5.jpg", 15, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/env1bw.jpg", 16, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/env1b.jpg", 26, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/env1g.jpg", 28, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/kallio1.jpg", 17, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/kivio.jpg", 18, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/sat.jpg", 21, ImageLoader::Jpeg, {0, 0, 0}},
    {"Images/sphere2.jpg", 27, ImageLoader::Jpeg, {0, 0, 0}},
    // Text images, each uploaded twice: the copy in the second slot is the
    // one a scene's feedback buffer blurs and tints in place.
    {"Images/creditsO.pcx", 22, ImageLoader::PcxKeyed, {0, 0, 0}},
    {"Images/creditsO.pcx", 23, ImageLoader::PcxKeyed, {0, 0, 0}},
    {"Images/timeText.pcx", 24, ImageLoader::PcxKeyed, {255, 255, 255}},
    {"Images/timeText.pcx", 25, ImageLoader::PcxKeyed, {255, 255, 255}},
    {"Images/ukeText.pcx", 29, ImageLoader::PcxKeyed, {255, 255, 255}},
    {"Images/ukeText.pcx", 30, ImageLoader::PcxKeyed, {255, 255, 255}},
    {"Images/verkkotausta2co.jpg", 31, ImageLoader::Jpeg, {0, 0, 0}},
};

const size_t kTextureSlotCount = sizeof(kTextureSlots) / sizeof(kTextureSlots[0]);
