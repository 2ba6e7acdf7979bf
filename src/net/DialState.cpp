#include "net/DialState.h"

#include <array>
#include <utility>

#include "platform/TextEncoding.h"

namespace zorvik::net {
namespace {

constexpr std::array<std::pair<int, const char*>, 24> kTexts{{
    {0, "通信ポートをオープン中"},
    {1, "通信ポートが正常にオープンされました"},
    {2, "デバイス接続中"},
    {3, "デバイスが正常に接続されました"},
    {4, "すべてのデバイスが正常に接続されました"},
    {5, "ユーザとパスワード認証中"},
    {6, "ユーザとパスワード認証中"},
    {7, "新しいアカウント設定を要求しました"},
    {8, "コールバック番号入力待ち"},
    {9, "パスワード変更要求"},
    {10, "投影段階開始"},
    {11, "接続速度計算中"},
    {12, "認証要求が受領されました"},
    {13, "再認証を開始"},
    {14, "ユーザ認証終了"},
    {15, "コールバックに備えて回線を切断"},
    {16, "モデムリセットまで待機中"},
    {17, "コールバック応答待ち"},
    {0x1000, "RASPHONEターミナル接続"},
    {0x1001, "RASPHONE再度認証中"},
    {0x1002, "RASPHONEコールバック待ち"},
    {0x1003, "RASPHONEパスワード変更"},
    {0x2000, "接続成功"},
    {0x2001, "切断完了"},
}};

}  // namespace

const std::string& DialState::text(int state) {
  for (const auto& [number, text] : kTexts)
    if (number == state) return platform::sjisLiteral(text);
  return platform::sjisLiteral("不明な状態");
}

}  // namespace zorvik::net
