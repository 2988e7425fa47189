// Member chains over host objects.
begin
  ShowMessage(Memo1.Text);                 // expect: 旧
  Memo1.Text := '新的';
  ShowMessage(Memo1.Text);                 // expect: 新的
  Memo1.Clear;
  ShowMessage('[' + Memo1.Text + ']');     // expect: []
  MasterData1.Visible := False;
  ShowMessage(MasterData1.Visible);        // expect: False
  Report.Variables['x'] := 42;
  ShowMessage(Report.Variables['X'] + 1);  // expect: 43
  ShowMessage(Engine.CurY);                // expect: 120.5
  Engine.NewPage;
  ShowMessage(Engine.CurY);                // expect: 0
  ShowMessage(Memo1 is TfrxView);          // expect: True
  ShowMessage(MasterData1 is TfrxMemoView); // expect: False
  ShowMessage(TfrxMemoView(Memo1).Left);   // expect: 10
  with Memo1 do
  begin
    Left := Left + 5;
    ShowMessage(Name + ' ' + IntToStr(Left)); // expect: Memo1 15
  end;
  ShowMessage(<frxdbdtst1."姓名"> + ' 先生'); // expect: 张三 先生
  ShowMessage(IIF(1 > 2, 'yes', 'no'));    // expect: no
  ShowMessage(SUM(<frxdbdtst1."金额">, MasterData1)); // expect: <frxdbdtst1."金额">|MasterData1|0
  Memo1.Left := -1;
end.
// expect runtime error: Left must not be negative
