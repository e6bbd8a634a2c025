// The service manager on the real system, where the protocol driver is not installed.
#include "kv/platform/services.h"

#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

TEST(ServicesTest, TheProtocolDriversServiceDoesNotExist) {
    auto& scm = serviceManager();
    NativeHandle manager = scm.openManager(svcaccess::kManagerAllAccess);
    ASSERT_NE(manager, nullptr) << system().lastError();
    EXPECT_EQ(scm.openService(manager, protocol::kServiceName, svcaccess::kQueryStatus | svcaccess::kStart), nullptr);
    EXPECT_EQ(system().lastError(), err::kServiceDoesNotExist);
    EXPECT_TRUE(scm.closeHandle(manager));
}

}  // namespace
}  // namespace kv::test
