// The cell cursor: its setters and the walk after every cell.
#include "spreadsheet/vxNativeExcel.h"
#include "support/BiffReader.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(NativeExcelCursor, SettersAndTheWalkInEveryDirection) {
    struct Step {
        TvxMoveAfterEnter Move;
        int Row, Col, NextRow, NextCol;
    };
    const Step steps[] = {
        {maNone, 5, 5, 5, 5},     {maRight, 5, 5, 5, 6},
        {maRight, 5, 256, 6, 1},  {maRight, 65535, 256, 65535, 256},
        {maLeft, 5, 5, 5, 4},     {maLeft, 5, 1, 4, 256},
        {maLeft, 1, 1, 1, 1},     {maDown, 5, 5, 6, 5},
        {maDown, 65535, 5, 1, 6}, {maDown, 65535, 256, 65535, 256},
        {maUp, 5, 5, 4, 5},       {maUp, 1, 5, 65535, 4},
        {maUp, 1, 1, 1, 1},
    };
    for (const Step& s : steps) {
        TvxNativeExcel x;
        x.SetMoveAfterEnter(s.Move);
        x.SetRow(s.Row);
        x.SetColumn(s.Col);
        x.SetRow(0); // values off the sheet are ignored
        x.SetColumn(257);
        x.WriteBlank();
        auto cell = vxtest::Records(x.Data()).back();
        SCOPED_TRACE(testing::Message() << int(s.Move) << " at " << s.Row << "," << s.Col);
        EXPECT_EQ(cell.U16(0), s.Row - 1); // the cell lands where the cursor stood
        EXPECT_EQ(cell.U16(2), s.Col - 1);
        EXPECT_EQ(x.Row(), s.NextRow);
        EXPECT_EQ(x.Column(), s.NextCol);
    }
}
