#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "table/cell_text_list.h"
#include "table/table_grid.h"

namespace qv {

// The conversions of "文字種の変換": each turns CP932 text into CP932 text, writing only
// characters that Shift-JIS holds (a character whose counterpart it lacks, such as ヴ for
// カタカナ→ひらがな, stays as it is). Bytes that start no valid CP932 character are kept.
enum class CharacterConversion {
    ToHalfWidthAlphanumerics,  // 全角英数字→半角: Ａ１！ to A1! (￥ and ＼ to "\"); not the space
    ToFullWidthAlphanumerics,  // 半角英数字→全角: the reverse ("\" to ￥, as Japanese systems show
                               // it)
    ToFullWidthKana,  // 半角カナ→全角カナ: ｶﾞ to ガ, ﾊﾟ to パ, ｰ to ー, ｡｢｣､･ too
    ToHiragana,  // カタカナ→ひらがな: of either width
    ToKatakana,  // ひらがな→カタカナ
    TrimBlanks,  // 前後の空白を削除: blanks, tabs and full-width spaces at both ends
};

// Writes the converted `text` to `out` and returns whether it differs from `text` (`out` is
// left alone when it does not).
bool ConvertCharacters(std::string_view text, CharacterConversion conversion, std::string& out);

// The new texts of the cells of `cols` x [rowBegin, rowEnd) that the conversion changes, to be
// written with TableGrid::ExchangeCellTexts (by a step of the undo history).
CellTextList ConvertedCells(const TableGrid& grid, std::span<const int32_t> cols, int32_t rowBegin,
                            int32_t rowEnd, CharacterConversion conversion);

}  // namespace qv
