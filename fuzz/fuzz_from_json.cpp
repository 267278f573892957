// `qxctl from-json` on any text. A refused text leaves the target image untouched and says why;
// a taken one turns back into JSON that reads to the very same bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "JsonImage.h"

using namespace qx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto image = std::make_unique<ParamImage>();
    auto untouched = std::make_unique<ParamImage>();
    std::memset(image.get(), 0xA5, sizeof(ParamImage));
    std::memset(untouched.get(), 0xA5, sizeof(ParamImage));

    std::string error;
    if (!CJsonImage::FromJson(text, *image, error)) {
        QX_FUZZ_CHECK(!error.empty());
        QX_FUZZ_CHECK(std::memcmp(image.get(), untouched.get(), sizeof(ParamImage)) == 0);
        return 0;
    }
    const std::string again = CJsonImage::ToJson(*image);
    auto reread = std::make_unique<ParamImage>();
    QX_FUZZ_CHECK(CJsonImage::FromJson(again, *reread, error));
    QX_FUZZ_CHECK(std::memcmp(image.get(), reread.get(), sizeof(ParamImage)) == 0);
    return 0;
}
