// Host refusals and unknown members are run-time errors the script can catch.
var
  n: Integer;
begin
  try
    Memo1.Left := -5;
  except
    ShowMessage('refused: ' + ExceptionMessage);  // expect: refused: Left must not be negative
  end;
  ShowMessage(Memo1.Left);                        // expect: 10
  try
    ShowMessage(Memo1.Nonesuch);
  except
    ShowMessage(ExceptionMessage);                // expect: TfrxMemoView has no member 'Nonesuch'
  end;
  try
    Memo1.Frobnicate(1);
  except
    ShowMessage(ExceptionMessage);                // expect: TfrxMemoView has no method 'Frobnicate'
  end;
  try
    Self.Text := 'x';
  except
    ShowMessage(ExceptionMessage);                // expect: Cannot use member 'Text' of nil
  end;
  try
    n := 3;
    ShowMessage(n.Text);
  except
    ShowMessage(ExceptionMessage);                // expect: Cannot use member 'Text' of a value of type (Integer)
  end;
  Inc(Memo1.Left, 5);                             // var parameters write back through properties
  ShowMessage(Memo1.Left);                        // expect: 15
  Memo1.Add('第一行');
  ShowMessage(Memo1.Add('第二行'));               // expect: 1
  Self := Memo1;
  ShowMessage(Self.Left);                         // expect: 15
end.
